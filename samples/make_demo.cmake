# Makes the demo library: stages the sources with freshly drawn pictures, imports them with
# vlib and puts the demo password on the private class.
# Called with -DVLIB=... -DPICTURES=... -DSOURCES=... -DSTAGE=... -DLIBRARY=...
set(password "vyne")
set(private_class "6 Private 私人")

file(REMOVE_RECURSE ${STAGE})
file(REMOVE ${LIBRARY})
file(COPY ${SOURCES}/ DESTINATION ${STAGE})
file(MAKE_DIRECTORY "${STAGE}/4 Pictures 图片")

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}")
  endif()
endfunction()

run(${PICTURES} "${STAGE}/4 Pictures 图片")
run(${VLIB} import ${LIBRARY} ${STAGE})
file(WRITE ${STAGE}.password "${password}\n")
execute_process(COMMAND ${VLIB} passwd ${LIBRARY} ${private_class}
  INPUT_FILE ${STAGE}.password RESULT_VARIABLE rc)
file(REMOVE ${STAGE}.password)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "vlib passwd failed (${rc})")
endif()
