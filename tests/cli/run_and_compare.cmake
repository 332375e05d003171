# Runs PROGRAM with ARGS (separated by |) in WORKDIR and checks its exit code
# against EXPECTED_EXIT (default 0), its standard output against the file
# EXPECTED_STDOUT and its standard error against EXPECTED_STDERR, when given.
string(REPLACE "|" ";" args "${ARGS}")
if(NOT DEFINED EXPECTED_EXIT)
  set(EXPECTED_EXIT 0)
endif()
if(DEFINED STDIN_FILE)
  set(input INPUT_FILE ${STDIN_FILE})
endif()
execute_process(COMMAND ${PROGRAM} ${args}
  WORKING_DIRECTORY ${WORKDIR}
  ${input}
  RESULT_VARIABLE exit_code
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err)
if(NOT exit_code STREQUAL EXPECTED_EXIT)
  message(FATAL_ERROR "exit code ${exit_code}, expected ${EXPECTED_EXIT}\nstdout:\n${out}\nstderr:\n${err}")
endif()
foreach(stream stdout stderr)
  string(TOUPPER ${stream} upper)
  if(DEFINED EXPECTED_${upper})
    file(READ ${EXPECTED_${upper}} expected)
    if(stream STREQUAL stdout)
      set(actual "${out}")
    else()
      set(actual "${err}")
    endif()
    if(NOT actual STREQUAL expected)
      message(FATAL_ERROR "${stream} differs from ${EXPECTED_${upper}}\n--- got:\n${actual}\n--- expected:\n${expected}")
    endif()
  endif()
endforeach()
