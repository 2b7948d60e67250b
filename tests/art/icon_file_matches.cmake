# Regenerates the icon file from the drawings and fails unless it equals the checked-in one.
execute_process(COMMAND ${TOOL} ${ACTUAL} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ostravel_make_ico failed with ${status}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${EXPECTED} ${ACTUAL} RESULT_VARIABLE differ)
if(NOT differ EQUAL 0)
  message(FATAL_ERROR "${EXPECTED} is stale: rebuild it with the ostravel_update_ico target")
endif()
