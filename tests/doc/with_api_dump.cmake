# Writes `brinewake-sim --dump-api` to API_OUT, then runs CHECK (a list: program and arguments) and
# fails when it fails. Used by the tests that hold files written by hand to the registered interface.
execute_process(COMMAND ${SIM} --dump-api OUTPUT_FILE ${API_OUT} RESULT_VARIABLE dump_status)
if(NOT dump_status EQUAL 0)
  message(FATAL_ERROR "brinewake-sim --dump-api failed: ${dump_status}")
endif()
execute_process(COMMAND ${CHECK} RESULT_VARIABLE check_status)
if(NOT check_status EQUAL 0)
  message(FATAL_ERROR "check failed: ${check_status}")
endif()
