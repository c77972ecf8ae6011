# Runs COMMAND (words joined by '|') and fails unless it exits with EXPECTED, says WHAT on stderr
# and prints no line wider than 100 columns (a degree sign is one) on stdout: the tools' refusals.
string(REPLACE "|" ";" command "${COMMAND}")
execute_process(COMMAND ${command} RESULT_VARIABLE status OUTPUT_VARIABLE output
    ERROR_VARIABLE errors)
if(NOT status STREQUAL EXPECTED)
    message(FATAL_ERROR "exit status ${status}, expected ${EXPECTED}; stderr:\n${errors}")
endif()
if(NOT errors MATCHES "${WHAT}")
    message(FATAL_ERROR "stderr does not say '${WHAT}':\n${errors}")
endif()
string(REPLACE "°" "d" output "${output}")
string(REPEAT "[^\n]" 101 wide)
if(output MATCHES "${wide}")
    message(FATAL_ERROR "a line of stdout is wider than 100 columns:\n${output}")
endif()
