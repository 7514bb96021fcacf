# GoogleTest from Debian's source package, built once per build tree.
set(TESSARO_GTEST_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${TESSARO_GTEST_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# tessaro_add_test(NAME SOURCES a.cpp b.cpp LIBS vpk win [GUI] [TIMEOUT seconds])
# One executable per subsystem; under the win32 preset CTest runs it through
# the Wine emulator set in the toolchain file. Every test is stopped after
# TIMEOUT seconds (120 unless given), so a hung one fails instead of hanging
# the run. On a host shared with other heavy work, configure with
# -DTESSARO_TEST_TIMEOUT_SCALE=3 (say) to give every test that much longer.
set(TESSARO_TEST_TIMEOUT_SCALE 1 CACHE STRING "multiplies every test's time limit")
function(tessaro_add_test name)
  cmake_parse_arguments(T "GUI" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 120)
  endif()
  math(EXPR T_TIMEOUT "${T_TIMEOUT} * ${TESSARO_TEST_TIMEOUT_SCALE}")
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main tessaro_warnings)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    TESSARO_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    TESSARO_BINARY_DIR="${CMAKE_BINARY_DIR}"
    TESSARO_TESTDATA_DIR="${CMAKE_SOURCE_DIR}/../shared/testdata")
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_GUI)
    set_tests_properties(${name} PROPERTIES LABELS gui RUN_SERIAL TRUE)
  endif()
endfunction()
