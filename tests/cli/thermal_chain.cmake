# Runs the steady-state thermal example and then the transient one, whose initial temperatures
# come from the steady run's result description, both in copies under SCRATCH (their default
# work folders), as the README's set-up command runs them. Expects DORVIX, EXAMPLES, SCRATCH.
foreach(var DORVIX EXAMPLES SCRATCH)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()
set(root "${SCRATCH}/thermal-chain")
file(REMOVE_RECURSE "${root}")
file(MAKE_DIRECTORY "${root}")
foreach(example thermal-steady thermal-transient)
  file(COPY "${EXAMPLES}/${example}" DESTINATION "${root}" PATTERN "run" EXCLUDE)
endforeach()
foreach(example thermal-steady thermal-transient)
  execute_process(COMMAND "${DORVIX}" "${root}/${example}"
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
  if(NOT result EQUAL 0 OR NOT output MATCHES "run code: +0 .*results: +dorvix_mt.des, 1 result set\n")
    message(FATAL_ERROR "${example}: exit ${result}\n${output}\n${errors}")
  endif()
endforeach()
# The transient deck starts from the steady run's node temperatures.
file(READ "${root}/thermal-transient/run/dorvix.dat" deck)
if(NOT deck MATCHES "Send Solved Initial Temperatures.*\n\\.CLT TT0 NOEUD \n  I 1 V  ")
  message(FATAL_ERROR "the transient deck does not start from the steady run's temperatures")
endif()
