# Read by CTest when it starts (see tolv_test_suite): splits one test
# executable into CTest entries, one process per gtest test suite, so that
# no process grows with the executable. A value- or type-parameterised suite
# repeats one test over many inputs and is dealt out PARAMETERISED tests to a
# process; any other suite PLAIN tests to a process. Entries are named
# <folder>/<gtest suite>, with -1, -2 ... when a suite is dealt out.
#
# The list of tests is read from the executable and kept beside it until
# the executable changes. When it cannot be read, the whole executable runs
# as the one entry <folder>/whole-executable, whose output then says what is
# wrong; so does an executable not built in this folder.
#
# Every listed executable also gets the entry <folder>/split-check
# (TestSplitCheck.cmake): it lists the tests again and fails unless each is
# selected by exactly one of the folder's entries, whatever the tests are
# named, so a test that no entry runs, or two run, can never pass unseen.

set(tolv_split_check "${CMAKE_CURRENT_LIST_DIR}/TestSplitCheck.cmake")

# The full names (Suite.Test) of the tests a --gtest_list_tests output lists,
# in its order. Comments (the parameter of each test) are left out: they may
# hold anything, a CMake list separator too.
function(tolv_listed_tests listing out)
  string(REGEX REPLACE "[ ]+#[^\n]*" "" listing "${listing}")
  string(REPLACE ";" "" listing "${listing}")
  string(REPLACE "\n" ";" lines "${listing}")
  set(tests "")
  set(suite "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^([^ ]+)\\.$")
      set(suite "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^  ([^ ]+)$" AND NOT suite STREQUAL "")
      list(APPEND tests "${suite}.${CMAKE_MATCH_1}")
    endif()
  endforeach()
  set(${out} "${tests}" PARENT_SCOPE)
endfunction()

# One entry: <folder>/name runs the executable with args, with the folder's
# settings. What it runs is also written to the entries file the check reads.
macro(tolv_add_test_process name)
  add_test("${folder}/${name}" "${executable}" ${ARGN})
  set_tests_properties("${folder}/${name}" PROPERTIES ENVIRONMENT "${environment}" TIMEOUT 600 RUN_SERIAL ${serial})
  string(APPEND entries "${folder}/${name}\t${ARGN}\n")
endmacro()

# The entries of one suite (suite, its tests in tests).
macro(tolv_add_suite_processes)
  if(suite MATCHES "/")
    set(size ${parameterised})
  else()
    set(size ${plain})
  endif()
  list(LENGTH tests count)
  if(count LESS_EQUAL size)
    tolv_add_test_process("${suite}" "--gtest_filter=${suite}.*")
  else()
    math(EXPR last "${count} - 1")
    set(part 0)
    foreach(first RANGE 0 ${last} ${size})
      math(EXPR part "${part} + 1")
      list(SUBLIST tests ${first} ${size} some)
      list(JOIN some ":" filter)
      tolv_add_test_process("${suite}-${part}" "--gtest_filter=${filter}")
    endforeach()
  endif()
endmacro()

# cmake is the CMake program that runs the check.
function(tolv_add_test_processes folder executable list_file serial environment cmake)
  set(plain 16)
  set(parameterised 4)
  if(NOT EXISTS "${executable}")
    # Not built in this folder (CI builds one executable alone).
    add_test(${folder}/whole-executable "${executable}")
    return()
  endif()
  set(entries "")
  set(entries_file "${list_file}.entries")
  add_test(${folder}/split-check "${cmake}" "-DFOLDER=${folder}" "-DEXECUTABLE=${executable}"
    "-DENTRIES=${entries_file}" -P "${tolv_split_check}")
  set_tests_properties(${folder}/split-check PROPERTIES ENVIRONMENT "${environment}" TIMEOUT 600)

  if(NOT EXISTS "${list_file}" OR "${executable}" IS_NEWER_THAN "${list_file}")
    execute_process(COMMAND "${executable}" --gtest_list_tests
      OUTPUT_VARIABLE listing RESULT_VARIABLE result ERROR_VARIABLE errors TIMEOUT 300)
    if(NOT result EQUAL 0)
      message(WARNING "${folder}: the tests could not be listed (${result}): ${errors}")
      tolv_add_test_process(whole-executable)
      file(WRITE "${entries_file}" "${entries}")
      return()
    endif()
    file(WRITE "${list_file}" "${listing}")
  endif()
  file(READ "${list_file}" listing)
  tolv_listed_tests("${listing}" listed)

  # Suites in the order listed, each with its tests; gtest lists a suite's
  # tests together.
  set(suite "")
  set(tests "")
  foreach(test IN LISTS listed)
    string(REGEX MATCH "^[^.]+" name "${test}")
    if(NOT name STREQUAL suite)
      if(NOT tests STREQUAL "")
        tolv_add_suite_processes()
      endif()
      set(suite "${name}")
      set(tests "")
    endif()
    list(APPEND tests "${test}")
  endforeach()
  if(NOT tests STREQUAL "")
    tolv_add_suite_processes()
  endif()
  file(WRITE "${entries_file}" "${entries}")
endfunction()
