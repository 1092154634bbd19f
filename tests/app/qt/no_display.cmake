# Runs PROGRAM with no display in its environment: it must write one line to stderr, nothing
# to stdout, and end with status 1.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
          ${PROGRAM}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 30)
if(NOT status STREQUAL "1")
  message(FATAL_ERROR "exit status '${status}', expected 1; stderr: ${err}")
endif()
if(NOT err MATCHES "^tagwright: no display available[^\n]*\n$")
  message(FATAL_ERROR "unexpected stderr: '${err}'")
endif()
if(NOT out STREQUAL "")
  message(FATAL_ERROR "unexpected stdout: '${out}'")
endif()
