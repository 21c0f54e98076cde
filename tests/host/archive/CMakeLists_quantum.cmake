# Quantum decoder tests; included by this folder's CMakeLists.txt.
cv_host_test(NAME quantum_test
             SOURCES quantum_test.cpp quantum_test_encoder.cpp sample_blocks.cpp
                     ../../../archive/quantum.cpp ../../../archive/quantum_model.cpp)
