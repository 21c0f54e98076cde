# Test helpers shared by every folder.
#
#   cv_host_test(NAME name SOURCES a.cpp ... LIBS lib ...)   host GoogleTest binary
#   cv_win_test(NAME name SOURCES a.cpp ... LIBS lib ...)    Windows GoogleTest binary, run under Wine
#   cv_wine_command(NAME name COMMAND exe args ...)          any command that needs the Wine harness

if(CV_WIN)
  if(NOT TARGET gtest)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  endif()
else()
  find_package(GTest REQUIRED)
endif()

set(CV_WINE_HARNESS "${CMAKE_SOURCE_DIR}/tests/wine/harness.sh")
set(CV_WINE_STATE "${CMAKE_BINARY_DIR}/wine")
# The prefix matches the programs: a 64-bit tree runs in a 64-bit prefix.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(CV_WINE_ARCH win64)
else()
  set(CV_WINE_ARCH win32)
endif()

function(cv_host_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  if(CV_WIN)
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest_main)
  target_compile_definitions(${T_NAME} PRIVATE CV_SHARED_DIR="${CV_SHARED_DIR}")
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT 600)
endfunction()

function(cv_wine_command)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "COMMAND" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_test(NAME ${T_NAME} COMMAND ${CV_WINE_HARNESS} run --state ${CV_WINE_STATE} -- ${T_COMMAND})
  # One prefix and one display per run; the tests share them one at a time because a test
  # may switch the Windows version of the prefix.
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT} FIXTURES_REQUIRED wine
                       RESOURCE_LOCK wineprefix)
endfunction()

function(cv_win_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  if(NOT CV_WIN)
    return()
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} gtest_main)
  cv_wine_command(NAME ${T_NAME} COMMAND wine $<TARGET_FILE:${T_NAME}>)
  # A Windows process that ends early can still exit with 0; the test passes only when
  # GoogleTest printed its summary of passed tests and no failure.
  set_tests_properties(${T_NAME} PROPERTIES PASS_REGULAR_EXPRESSION "\\[  PASSED  \\]"
                       FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]")
endfunction()

if(CV_WIN AND NOT TARGET cv_wine_fixture)
  add_custom_target(cv_wine_fixture)
  add_test(NAME wine_prefix_setup COMMAND ${CV_WINE_HARNESS} setup --state ${CV_WINE_STATE} --arch ${CV_WINE_ARCH})
  set_tests_properties(wine_prefix_setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 300)
  add_test(NAME wine_prefix_cleanup COMMAND ${CV_WINE_HARNESS} cleanup --state ${CV_WINE_STATE})
  set_tests_properties(wine_prefix_cleanup PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60)
endif()
