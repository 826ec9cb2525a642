# Read by CTest when it starts (see tolv_test_suite): splits one test
# executable into CTest entries, one process per gtest test suite, so that
# no process grows with the executable. A value- or type-parameterised suite
# repeats one test over many inputs and is dealt out PARAMETERISED tests to a
# process; any other suite PLAIN tests to a process. Entries are named
# <folder>/<gtest suite>, with -1, -2 ... when a suite is dealt out.
#
# The list of tests is read from the executable and kept beside it until
# the executable changes. When it cannot be read, the whole executable runs
# as the one entry <folder>, whose output then says what is wrong; so does
# an executable not built in this folder.
# One entry: name runs executable with args, with the folder's settings.
macro(tolv_add_test_process name)
  add_test("${name}" "${executable}" ${ARGN})
  set_tests_properties("${name}" PROPERTIES ENVIRONMENT "${environment}" TIMEOUT 600 RUN_SERIAL ${serial})
endmacro()

function(tolv_add_test_processes folder executable list_file serial environment)
  set(plain 16)
  set(parameterised 4)
  if(NOT EXISTS "${executable}")
    # Not built in this folder (CI builds one executable alone).
    add_test(${folder} "${executable}")
    return()
  endif()
  if(NOT EXISTS "${list_file}" OR "${executable}" IS_NEWER_THAN "${list_file}")
    execute_process(COMMAND "${executable}" --gtest_list_tests
      OUTPUT_VARIABLE listing RESULT_VARIABLE result ERROR_VARIABLE errors TIMEOUT 300)
    if(NOT result EQUAL 0)
      message(WARNING "${folder}: the tests could not be listed (${result}): ${errors}")
      tolv_add_test_process(${folder})
      return()
    endif()
    file(WRITE "${list_file}" "${listing}")
  endif()
  file(STRINGS "${list_file}" lines)

  # Suites in the order listed, each with its tests.
  set(suites "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^([^ #][^ ]*)\\.")
      set(suite "${CMAKE_MATCH_1}")
      list(APPEND suites "${suite}")
      string(MAKE_C_IDENTIFIER "${suite}" key)
      set(tests_${key} "")
    elseif(line MATCHES "^  ([^ ]+)" AND suites)
      list(APPEND tests_${key} "${suite}.${CMAKE_MATCH_1}")
    endif()
  endforeach()

  foreach(suite IN LISTS suites)
    string(MAKE_C_IDENTIFIER "${suite}" key)
    set(tests ${tests_${key}})
    list(LENGTH tests count)
    if(suite MATCHES "/")
      set(size ${parameterised})
    else()
      set(size ${plain})
    endif()
    if(count LESS_EQUAL size)
      tolv_add_test_process("${folder}/${suite}" "--gtest_filter=${suite}.*")
      continue()
    endif()
    set(part 0)
    while(tests)
      math(EXPR part "${part} + 1")
      list(SUBLIST tests 0 ${size} some)
      list(LENGTH tests count)
      if(count GREATER size)
        list(SUBLIST tests ${size} -1 tests)
      else()
        set(tests "")
      endif()
      list(JOIN some ":" filter)
      tolv_add_test_process("${folder}/${suite}-${part}" "--gtest_filter=${filter}")
    endwhile()
  endforeach()
endfunction()
