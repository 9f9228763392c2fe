# Rebuilds a committed file from its description with its tool and compares
# the two byte for byte.
execute_process(COMMAND ${GENERATOR} ${DESCRIPTION} ${OUTPUT} RESULT_VARIABLE built)
if(NOT built EQUAL 0)
  message(FATAL_ERROR "${GENERATOR} failed on ${DESCRIPTION}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUTPUT} ${EXPECTED} RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "${EXPECTED} differs from what ${DESCRIPTION} describes")
endif()
