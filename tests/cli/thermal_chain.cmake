# Runs the steady-state thermal example and then the transient one, whose initial temperatures
# come from the steady run's result description, both in copies under SCRATCH (their default
# work folders), as the README's set-up command runs them; then the transient one again in the
# steady run's own work folder, where the description it reads is the one its run will
# replace. Expects DORVIX, EXAMPLES, SCRATCH.
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
# The transient deck starts from the steady run's node temperatures: the solver's room
# temperature in the kelvin deck.
function(expect_solved_start deck_file)
  file(READ "${deck_file}" deck)
  if(NOT deck MATCHES "Send Solved Initial Temperatures.*\n\\.CLT TT0 NOEUD \n  I 1 V  295\\.15\n")
    message(FATAL_ERROR "${deck_file} does not start from the steady run's temperatures")
  endif()
endfunction()
expect_solved_start("${root}/thermal-transient/run/dorvix.dat")

# One work folder for both: the steady run's description is read, not swept away as a leftover.
execute_process(COMMAND "${DORVIX}" "${root}/thermal-transient" --work "${root}/thermal-steady/run"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0 OR NOT output MATCHES "run code: +0 .*results: +dorvix_mt.des, 1 result set\n")
  message(FATAL_ERROR "thermal-transient in the steady run's folder: exit ${result}\n${output}\n${errors}")
endif()
expect_solved_start("${root}/thermal-steady/run/dorvix.dat")
