# An edit with `dorvix settings --set` on a copy of a case under SCRATCH: the program must take
# every value, write the model and report what OUTPUT (a pattern) expects. With SOLVED the copy
# is then solved and the run must report what SOLVED expects. Expects DORVIX, CASE, SCRATCH, ASSIGNMENTS (name=value,
# comma-separated) and OUTPUT; DVX_EXE names the stand-in solver's folder for a solve. With FIRST
# (a case folder) a copy of that case is solved beside the edited one before it; with
# SHARED_WORK the edited copy is solved in FIRST's work folder, whose results it starts from.
# SOLVED is matched against what the solve reports followed by the deck it wrote.
foreach(var DORVIX CASE SCRATCH ASSIGNMENTS OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()
string(REPLACE "," ";" ASSIGNMENTS "${ASSIGNMENTS}")
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")
file(COPY "${CASE}" DESTINATION "${SCRATCH}" PATTERN "run" EXCLUDE)
get_filename_component(name "${CASE}" NAME)
set(copy "${SCRATCH}/${name}")
file(READ "${copy}/CAERep.xml" before)
execute_process(COMMAND "${DORVIX}" settings "${copy}" --set ${ASSIGNMENTS}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT result EQUAL 0 OR NOT output MATCHES "${OUTPUT}")
  message(FATAL_ERROR "the edit failed: exit ${result}\n${output}\n${errors}")
endif()
file(READ "${copy}/CAERep.xml" after)
if(before STREQUAL after)
  message(FATAL_ERROR "the edit did not reach CAERep.xml")
endif()
if(DEFINED SOLVED)
  set(work "${copy}/run")
  if(DEFINED FIRST)
    file(COPY "${FIRST}" DESTINATION "${SCRATCH}" PATTERN "run" EXCLUDE)
    get_filename_component(first_name "${FIRST}" NAME)
    execute_process(COMMAND "${DORVIX}" "${SCRATCH}/${first_name}" RESULT_VARIABLE result OUTPUT_VARIABLE output
                    ERROR_VARIABLE errors)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "${FIRST} does not solve: exit ${result}\n${output}\n${errors}")
    endif()
    if(SHARED_WORK)
      set(work "${SCRATCH}/${first_name}/run")
    endif()
  endif()
  execute_process(COMMAND "${DORVIX}" "${copy}" --work "${work}" RESULT_VARIABLE result OUTPUT_VARIABLE output
                  ERROR_VARIABLE errors)
  file(READ "${work}/dorvix.dat" deck)
  if(NOT result EQUAL 0 OR NOT "${output}${deck}" MATCHES "${SOLVED}")
    message(FATAL_ERROR "the edited case does not solve as expected: exit ${result}\n${output}\n${errors}")
  endif()
endif()
