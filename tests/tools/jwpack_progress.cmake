# jwpack synth keeps a progress line on stderr only when stderr is a terminal: through `script` (a
# pseudo-terminal) the line is drawn and ends with the rate and the time taken; into a pipe stderr
# stays empty.
set(work ${WORK_DIR}/jwpack-progress)
file(REMOVE_RECURSE ${work})
execute_process(COMMAND ${JWPACK} synth 300 ${work}/pipe
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT err STREQUAL "")
  message(FATAL_ERROR "synth into a pipe (${rc}) wrote to stderr: ${err}")
endif()
find_program(SCRIPT script)
if(SCRIPT)
  execute_process(COMMAND ${SCRIPT} -qefc "'${JWPACK}' synth 300 '${work}/tty'" /dev/null
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0 OR NOT out MATCHES "\r300 / 300 entries +[0-9,]+/s +done in 0:0")
    message(FATAL_ERROR "no progress line on a terminal (${rc}): ${out}${err}")
  endif()
endif()
file(REMOVE_RECURSE ${work})
