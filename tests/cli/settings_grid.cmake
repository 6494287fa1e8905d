# Prints the settings grid of a case as `dorvix settings` shows it and compares it with the
# case's golden file. Without DORVIX_REGISTRY and QXW_LOCALE120 the program must find the
# build's registry file and English texts by itself. Expects DORVIX, CASE, GOLDEN.
foreach(var DORVIX CASE GOLDEN)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()
unset(ENV{DORVIX_REGISTRY})
unset(ENV{QXW_LOCALE120})
execute_process(COMMAND "${DORVIX}" settings "${CASE}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "exit ${result}\n${output}\n${errors}")
endif()
file(READ "${GOLDEN}" expected)
if(NOT output STREQUAL expected)
  message(FATAL_ERROR "the grid differs from ${GOLDEN}:\n${output}")
endif()
