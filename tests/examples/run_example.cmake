# Runs one example and compares what it prints with the expected text.
#   cmake -DCOMMAND=a|b|c -DEXPECTED=file -P run_example.cmake
string(REPLACE "|" ";" command "${COMMAND}")
execute_process(COMMAND ${command} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc TIMEOUT 120)
string(REPLACE "\r" "" out "${out}")
file(READ "${EXPECTED}" want)
if(NOT rc EQUAL 0 OR NOT out STREQUAL want)
  message(FATAL_ERROR "example: exit ${rc}\n--- printed:\n${out}--- expected:\n${want}--- stderr:\n${err}")
endif()
message(STATUS "example output as expected")
