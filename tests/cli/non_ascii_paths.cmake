# Runs the command line on a case folder, a work folder and a solver folder whose names hold
# non-ASCII characters, once without any locale in the environment and once in the "C" locale.
# Expects DORVIX, SOLVER (the stand-in program), EXAMPLE (a case folder) and SCRATCH.
foreach(var DORVIX SOLVER EXAMPLE SCRATCH)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

set(root "${SCRATCH}/pfad-ñ")
file(REMOVE_RECURSE "${root}")
set(case_folder "${root}/café/wörk")
set(solver_folder "${root}/sölver 日本")
file(MAKE_DIRECTORY "${case_folder}" "${solver_folder}")
file(COPY "${EXAMPLE}/" DESTINATION "${case_folder}")
file(COPY "${SOLVER}" DESTINATION "${solver_folder}")

foreach(locale unset C)
  set(work_folder "${root}/étude-${locale}")
  if(locale STREQUAL "unset")
    set(locale_args --unset=LANG --unset=LC_ALL --unset=LC_CTYPE)
  else()
    set(locale_args --unset=LC_ALL --unset=LC_CTYPE LANG=${locale})
  endif()
  execute_process(
    COMMAND "${CMAKE_COMMAND}" -E env ${locale_args} "DVX_EXE=${solver_folder}"
            "${DORVIX}" "${case_folder}" --work "${work_folder}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
  if(NOT result EQUAL 0 OR NOT output MATCHES "run code: +0 " OR NOT output MATCHES "dorvix_as.des, 1 result set")
    message(FATAL_ERROR "LANG ${locale}: exit ${result}\n${output}\n${errors}")
  endif()
  # The block's one material comes from the MatML.xml of the case folder.
  file(READ "${work_folder}/dorvix.dat" deck)
  if(NOT deck MATCHES "\n\\.MAT I 1 NOM \"Structural Steel\"\n")
    message(FATAL_ERROR "LANG ${locale}: the deck lacks the case's material\n${output}")
  endif()
  # The summary names the folders as they are, and the solver left its results there.
  string(FIND "${output}" "${work_folder}/dorvix.dat\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "LANG ${locale}: the deck is not reported in ${work_folder}\n${output}")
  endif()
  foreach(file dorvix.dat dorvix_as.des)
    if(NOT EXISTS "${work_folder}/${file}")
      message(FATAL_ERROR "LANG ${locale}: ${work_folder}/${file} is missing\n${output}")
    endif()
  endforeach()
  message(STATUS "LANG ${locale}: ${output}")
endforeach()
file(REMOVE_RECURSE "${root}")
