# Prints the settings grid of a case as `dorvix settings` shows it and compares it with the
# case's golden file; with DORVIX_UPDATE_GOLDEN=1 in the environment the grid is written over
# the golden file instead (tests/README.md). Without DORVIX_REGISTRY and QXW_LOCALE120 the
# program must find the build's registry file and English texts by itself. Expects DORVIX,
# CASE, GOLDEN.
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
set(expected "")
if(EXISTS "${GOLDEN}")
  file(READ "${GOLDEN}" expected)
endif()
if("$ENV{DORVIX_UPDATE_GOLDEN}" STREQUAL "1")
  if(NOT output STREQUAL expected)
    file(WRITE "${GOLDEN}" "${output}")
    message("updated golden file ${GOLDEN} (read it before committing)")
  endif()
elseif(NOT EXISTS "${GOLDEN}")
  message(FATAL_ERROR "no golden file ${GOLDEN}; run with DORVIX_UPDATE_GOLDEN=1 to write it, then read it line by line")
elseif(NOT output STREQUAL expected)
  message(FATAL_ERROR "the grid differs from the golden file ${GOLDEN} (DORVIX_UPDATE_GOLDEN=1 writes it over):\n${output}")
endif()
