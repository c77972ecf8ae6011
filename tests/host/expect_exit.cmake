# Runs COMMAND (words joined by '|') and fails unless it exits with EXPECTED and says WHAT on
# stderr.
string(REPLACE "|" ";" command "${COMMAND}")
execute_process(COMMAND ${command} RESULT_VARIABLE status ERROR_VARIABLE errors OUTPUT_QUIET)
if(NOT status STREQUAL EXPECTED)
    message(FATAL_ERROR "exit status ${status}, expected ${EXPECTED}; stderr:\n${errors}")
endif()
if(NOT errors MATCHES "${WHAT}")
    message(FATAL_ERROR "stderr does not mention '${WHAT}':\n${errors}")
endif()
