# The CTest entry <folder>/split-check (see TestProcesses.cmake), run as
#   cmake -DFOLDER=<folder> -DEXECUTABLE=<test executable>
#         -DENTRIES=<entries file> -P TestSplitCheck.cmake
# Fails unless every test the executable lists now is selected by exactly one
# of the entries CTest was given (one "<name>\t<arguments>" a line), each
# entry selects some test, and each is named <folder>/..., as the selections
# of CI's stages and `ctest -R <folder>/` expect. A filter is matched here as
# gtest matches it, so the check does not share the splitting's view of names.
cmake_minimum_required(VERSION 3.20)
include("${CMAKE_CURRENT_LIST_DIR}/TestProcesses.cmake")

execute_process(COMMAND "${EXECUTABLE}" --gtest_list_tests
  OUTPUT_VARIABLE listing RESULT_VARIABLE result ERROR_VARIABLE errors TIMEOUT 300)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "The tests could not be listed (${result}), so none is split into processes:\n${errors}")
endif()
tolv_listed_tests("${listing}" listed)
if(listed STREQUAL "")
  message(FATAL_ERROR "${EXECUTABLE} lists no test")
endif()

# gtest's filter: patterns split by ':', '*' any text, '?' any one character.
# The entries exclude nothing ('-'), so a '-' is read as itself: an entry
# that relies on one selects no test here and fails the check.
function(tolv_filter_regex patterns out)
  string(REGEX REPLACE "([^A-Za-z0-9_*?:])" "\\\\\\1" regex "${patterns}")
  string(REPLACE "*" ".*" regex "${regex}")
  string(REPLACE "?" "." regex "${regex}")
  string(REPLACE ":" "|" regex "${regex}")
  set(${out} "^(${regex})$" PARENT_SCOPE)
endfunction()

set(problems "")
set(selected "")
set(names "")
file(STRINGS "${ENTRIES}" lines)
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^([^\t]*)\t(.*)$")
    continue()
  endif()
  set(name "${CMAKE_MATCH_1}")
  set(arguments "${CMAKE_MATCH_2}")
  list(APPEND names "${name}")
  if(NOT name MATCHES "^${FOLDER}/")
    string(APPEND problems "${name} is not selected by ^${FOLDER}/\n")
  endif()
  set(filter "*")
  if(arguments MATCHES "--gtest_filter=([^;]*)")
    set(filter "${CMAKE_MATCH_1}")
  endif()
  set(hits "${listed}")
  tolv_filter_regex("${filter}" regex)
  list(FILTER hits INCLUDE REGEX "${regex}")
  if(hits STREQUAL "")
    string(APPEND problems "${name} selects no test\n")
  endif()
  list(APPEND selected ${hits})
endforeach()

set(unique_names "${names}")
list(REMOVE_DUPLICATES unique_names)
if(NOT unique_names STREQUAL names)
  string(APPEND problems "two entries share a name\n")
endif()
set(missed "${listed}")
if(NOT selected STREQUAL "")
  list(REMOVE_ITEM missed ${selected})
endif()
foreach(test IN LISTS missed)
  string(APPEND problems "${test} is selected by no entry\n")
endforeach()
list(SORT selected)
set(previous "")
foreach(test IN LISTS selected)
  if(test STREQUAL previous)
    string(APPEND problems "${test} is selected more than once\n")
  endif()
  set(previous "${test}")
endforeach()

list(LENGTH listed count)
list(LENGTH names entries)
if(NOT problems STREQUAL "")
  message(FATAL_ERROR "${count} tests listed, ${entries} entries:\n${problems}")
endif()
message(STATUS "${count} tests listed, each selected by one of ${entries} entries")
