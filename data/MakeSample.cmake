# Writes the sample data file afresh: import refuses to overwrite a file.
file(REMOVE ${OUTPUT})
execute_process(
  COMMAND ${CLI} --password-stdin import ${XML} ${OUTPUT}
  INPUT_FILE ${PASSWORD_FILE}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "zantrove-cli import failed with ${result}")
endif()
