# The splitting into test processes (TestProcesses.cmake) and its check, on
# an executable that lists names which once went wrong: two suites of one C
# identifier (Foo/Bar and Foo_Bar), a suite of exactly one process's share and
# one just over it, a typed suite, and comments that hold list separators.
# Run as cmake -DWORK=<scratch folder> -P SplittingTest.cmake.
cmake_minimum_required(VERSION 3.20)
include("${CMAKE_CURRENT_LIST_DIR}/../TestProcesses.cmake")
set(check "${CMAKE_CURRENT_LIST_DIR}/../TestSplitCheck.cmake")

# CTest's own commands, noted instead.
function(add_test name)
  set_property(GLOBAL APPEND PROPERTY added "${name}")
endfunction()
function(set_tests_properties)
endfunction()

# expect(<text shown when it does not hold> <condition>)
function(expect text)
  if(NOT (${ARGN}))
    message(SEND_ERROR "${text}")
  endif()
endfunction()

# A stand-in executable that prints listing and exits with code.
function(fake_executable listing code)
  file(REMOVE_RECURSE "${WORK}")
  file(WRITE "${WORK}/listing.txt" "${listing}")
  file(WRITE "${WORK}/fake" "#!/bin/sh\ncat '${WORK}/listing.txt'\nexit ${code}\n")
  file(CHMOD "${WORK}/fake" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  set_property(GLOBAL PROPERTY added "")
  tolv_add_test_processes(fake "${WORK}/fake" "${WORK}/fake_tests.txt" FALSE "" "${CMAKE_COMMAND}")
endfunction()

function(run_check entries out)
  execute_process(COMMAND "${CMAKE_COMMAND}" -DFOLDER=fake "-DEXECUTABLE=${WORK}/fake" "-DENTRIES=${entries}"
    -P "${check}" RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  set(${out} "${result}: ${output}" PARENT_SCOPE)
endfunction()

function(suite name count comment)
  string(APPEND listing "${name}.${comment}\n")
  math(EXPR last "${count} - 1")
  foreach(i RANGE ${last})
    string(APPEND listing "  Case${i}/${i}  # GetParam() = {${i}; [}\n")
  endforeach()
  set(listing "${listing}" PARENT_SCOPE)
endfunction()
set(listing "")
suite(Foo/Bar 20 "")
suite(Foo_Bar 20 "")
suite(Sixteen 16 "")
suite(Seventeen 17 "")
suite(Ints/Typed/0 5 "  # TypeParam = std::pair<int; int>")

# 78 tests: Foo/Bar 5 processes of 4, Foo_Bar 16 + 4, Sixteen one,
# Seventeen 16 + 1, the typed suite 4 + 1: 12 entries, and the check.
fake_executable("${listing}" 0)
run_check("${WORK}/fake_tests.txt.entries" output)
expect("a clean split: ${output}" output MATCHES "^0: .*78 tests listed, each selected by one of 12 entries")
get_property(added GLOBAL PROPERTY added)
list(LENGTH added count)
expect("12 processes and the check: ${added}" count EQUAL 13)

# A dropped share and a doubled one fail the check.
file(STRINGS "${WORK}/fake_tests.txt.entries" entries)
list(POP_BACK entries)
list(GET entries 0 first)
string(REPLACE "fake/Foo/Bar-1" "fake/Again" first "${first}")
list(APPEND entries "${first}")
list(JOIN entries "\n" entries)
file(WRITE "${WORK}/spoiled" "${entries}\n")
run_check("${WORK}/spoiled" output)
expect("a dropped share: ${output}" output MATCHES "Ints/Typed/0.Case4/4 is selected by no entry")
expect("a doubled share: ${output}" output MATCHES "Foo/Bar.Case0/0 is selected more than once")
expect("a failed check: ${output}" NOT output MATCHES "^0:")

# Tests that cannot be listed run as one entry that CI's folder selection
# takes, and the check fails.
fake_executable("${listing}" 1)
get_property(added GLOBAL PROPERTY added)
expect("${added}" "fake/whole-executable" IN_LIST added AND "fake/split-check" IN_LIST added)
run_check("${WORK}/fake_tests.txt.entries" output)
expect("a failed listing: ${output}" output MATCHES "could not be listed" AND NOT output MATCHES "^0:")
