# A refused `dorvix settings --set`: the program ends with exit code 3 and the reason, and the
# case's CAERep.xml is left byte for byte as it was. Runs on a copy of the example under
# SCRATCH. Expects DORVIX, EXAMPLE, SCRATCH, ASSIGNMENTS (name=value, comma-separated) and REASON (a
# regular expression the message must match).
foreach(var DORVIX EXAMPLE SCRATCH ASSIGNMENTS REASON)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()
string(REPLACE "," ";" ASSIGNMENTS "${ASSIGNMENTS}")
get_filename_component(name "${EXAMPLE}" NAME)
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")
file(COPY "${EXAMPLE}" DESTINATION "${SCRATCH}" PATTERN "run" EXCLUDE)
set(model "${SCRATCH}/${name}/CAERep.xml")
file(SHA256 "${model}" before)
execute_process(COMMAND "${DORVIX}" settings "${SCRATCH}/${name}" --set ${ASSIGNMENTS}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
file(SHA256 "${model}" after)
if(NOT result EQUAL 3 OR NOT errors MATCHES "${REASON}")
  message(FATAL_ERROR "expected exit 3 and \"${REASON}\", got exit ${result}\n${output}\n${errors}")
endif()
if(NOT before STREQUAL after)
  message(FATAL_ERROR "CAERep.xml changed although the edit was refused")
endif()
file(GLOB leftovers "${SCRATCH}/${name}/CAERep.xml?*")
if(leftovers)
  message(FATAL_ERROR "files left beside the model: ${leftovers}")
endif()
