# LZX decoder tests; included by this folder's CMakeLists.txt.
cv_host_test(NAME lzx_test
             SOURCES lzx_test.cpp lzx_test_encoder.cpp sample_blocks.cpp ../../../archive/lzx.cpp)
