# Runs after a test program is linked: lists its tests with the source file of each and writes
# one CTest test per source file (SUITE_basename, e.g. pages_part_page_test), which runs the
# program with a filter naming that file's tests. A failure thus names the file it comes from.
#
#   cmake -D TEST_EXECUTABLE=... -D SUITE=pages -D CTEST_FILE=... -D SETTINGS=... -P TestsPerFile.cmake
# SETTINGS is a file that sets TEST_ENVIRONMENT (a list) and TEST_TIMEOUT.
cmake_minimum_required(VERSION 3.25)
include("${SETTINGS}")

set(listing "${CTEST_FILE}.json")
file(REMOVE "${listing}")
set(ENV{ASAN_OPTIONS} "detect_leaks=0")
execute_process(COMMAND "${TEST_EXECUTABLE}" --gtest_list_tests "--gtest_output=json:${listing}"
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0 OR NOT EXISTS "${listing}")
  message(FATAL_ERROR "${TEST_EXECUTABLE} could not list its tests (${status}):\n${output}")
endif()
file(READ "${listing}" json)

set(files "")
string(JSON suite_count LENGTH "${json}" testsuites)
math(EXPR last_suite "${suite_count} - 1")
foreach(i RANGE ${last_suite})
  string(JSON suite GET "${json}" testsuites ${i})
  string(JSON suite_name GET "${suite}" name)
  string(JSON test_count LENGTH "${suite}" testsuite)
  if(test_count EQUAL 0)
    continue()
  endif()
  math(EXPR last_test "${test_count} - 1")
  foreach(j RANGE ${last_test})
    string(JSON test_name GET "${suite}" testsuite ${j} name)
    string(JSON test_file GET "${suite}" testsuite ${j} file)
    get_filename_component(base "${test_file}" NAME_WE)
    string(MAKE_C_IDENTIFIER "${base}" base)
    if(NOT DEFINED tests_of_${base})
      list(APPEND files ${base})
      set(tests_of_${base} "")
    endif()
    string(APPEND tests_of_${base} ":${suite_name}.${test_name}")
  endforeach()
endforeach()

set(script "# Made from ${TEST_EXECUTABLE} by TestsPerFile.cmake; do not edit.\n")
foreach(base ${files})
  string(SUBSTRING "${tests_of_${base}}" 1 -1 filter)
  set(name "${SUITE}_${base}")
  string(APPEND script
    "add_test([==[${name}]==] [==[${TEST_EXECUTABLE}]==] [==[--gtest_filter=${filter}]==])\n"
    "set_tests_properties([==[${name}]==] PROPERTIES ENVIRONMENT [==[${TEST_ENVIRONMENT}]==] "
    "TIMEOUT ${TEST_TIMEOUT} LABELS [==[${SUITE}]==])\n")
endforeach()
file(WRITE "${CTEST_FILE}" "${script}")
