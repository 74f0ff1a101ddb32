# Runs the packer the way a user does. Every entry of the built sample directory is dumped and the
# dumps are compared with the kept file EXPECTED; a difference prints the diff, and with
# JW_UPDATE_EXPECTED=1 in the environment the kept file is rewritten instead. The dumps are then
# packed again and dumped once more: the second dump must match the first.
set(work ${WORK_DIR}/jwpack-dump)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work})

function(run)
  execute_process(COMMAND ${ARGV} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${ARGV} failed (${rc}): ${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
endfunction()

# The identifiers in the order of the description.
file(READ ${SOURCE} source)
string(JSON count LENGTH "${source}" Entries)
math(EXPR last "${count} - 1")
set(ids)
foreach(i RANGE ${last})
  string(JSON id GET "${source}" Entries ${i} Id)
  list(APPEND ids ${id})
endforeach()

# All dumps of DIR as one JSON array, one entry after the other.
function(dump_all dir result)
  set(text "[\n")
  set(sep "")
  foreach(id IN LISTS ids)
    run(${JWPACK} dump ${dir} ${id})
    string(STRIP "${out}" out)
    string(APPEND text "${sep}${out}")
    set(sep ",\n")
  endforeach()
  set(${result} "${text}\n]\n" PARENT_SCOPE)
endfunction()

dump_all(${DATA_DIR} first)
file(WRITE ${work}/dump.json "${first}")
if("$ENV{JW_UPDATE_EXPECTED}" STREQUAL "1")
  file(WRITE ${EXPECTED} "${first}")
  message(STATUS "rewrote ${EXPECTED}")
else()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${EXPECTED} ${work}/dump.json
    RESULT_VARIABLE differs)
  if(differs)
    find_program(DIFF diff)
    if(DIFF)  # printed as it is, to the test's output
      execute_process(COMMAND ${DIFF} -u ${EXPECTED} ${work}/dump.json)
    endif()
    message(FATAL_ERROR "the sample's dump differs from ${EXPECTED} (above; "
      "JW_UPDATE_EXPECTED=1 rewrites the kept file)")
  endif()
endif()

file(WRITE ${work}/again.json "{\"Entries\": ${first}}")
run(${JWPACK} build ${work}/again.json ${work}/second)
dump_all(${work}/second second)
if(NOT first STREQUAL second)
  file(WRITE ${work}/second.json "${second}")
  message(FATAL_ERROR "packing the dump again changed it: see ${work}/dump.json, ${work}/second.json")
endif()
file(REMOVE_RECURSE ${work})
