# Edits a copy of the static example into two steps with `dorvix settings --set`, checks what
# the program reports, and solves the copy: the run gives one result set per step. Expects
# DORVIX, EXAMPLE, SCRATCH (DVX_EXE names the stand-in solver's folder).
foreach(var DORVIX EXAMPLE SCRATCH)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")
file(COPY "${EXAMPLE}" DESTINATION "${SCRATCH}" PATTERN "run" EXCLUDE)
get_filename_component(name "${EXAMPLE}" NAME)
set(case "${SCRATCH}/${name}")
execute_process(COMMAND "${DORVIX}" settings "${case}" --set NumberOfSteps=2 CurrentStepNumber=2 EndTime=2
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0 OR NOT output MATCHES "written: +[^\n]*/CAERep.xml\nhost calls:\n  settings changed")
  message(FATAL_ERROR "the edit failed: exit ${result}\n${output}\n${errors}")
endif()
execute_process(COMMAND "${DORVIX}" "${case}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0 OR NOT output MATCHES
   "run code: +0 .*results: +[^\n]*, 2 result sets\n  set 1: time 1, step code 1\n  set 2: time 2, step code 2\n")
  message(FATAL_ERROR "the edited case does not solve in two steps: exit ${result}\n${output}\n${errors}")
endif()
