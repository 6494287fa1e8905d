# The command line on a work folder whose file system refuses what the run writes: one mounted
# read-only, and one that runs full while the solver runs. Each case mounts a small file system
# over a scratch folder in a mount namespace of its own, so nothing outside the test sees it;
# where the system lets no process make such a namespace the test is skipped.
# Expects DORVIX, SOLVER (the stand-in program), EXAMPLE (a case folder), SCRATCH and CASE.
foreach(var DORVIX SOLVER EXAMPLE SCRATCH CASE)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()
file(REMOVE_RECURSE "${SCRATCH}")
set(mount "${SCRATCH}/mount")
set(solver_folder "${SCRATCH}/solver")
file(MAKE_DIRECTORY "${mount}" "${solver_folder}")

find_program(UNSHARE unshare)
if(NOT UNSHARE)
  message("SKIP: there is no unshare program")
  return()
endif()
execute_process(COMMAND "${UNSHARE}" -rm sh -c "mount -t tmpfs -o size=64k tmpfs \"$0\"" "${mount}"
  RESULT_VARIABLE probe OUTPUT_QUIET ERROR_QUIET)
if(NOT probe EQUAL 0)
  message("SKIP: this system lets the test mount no file system of its own")
  return()
endif()

set(work "${mount}/work")
if(CASE STREQUAL "read_only")
  set(options "ro,size=64k")
  set(exit_code 2)
  set(stream errors)
  set(expected "dorvix: cannot create the work folder ${work}: Read-only file system\n")
elseif(CASE STREQUAL "full_during_the_solve")
  # The solver fills the work folder's file system before the stand-in writes a byte.
  file(WRITE "${solver_folder}/Dorvix.exe"
    "#!/bin/sh\ncat /dev/zero > filler 2> /dev/null\nexec \"${SOLVER}\" \"$@\"\n")
  file(CHMOD "${solver_folder}/Dorvix.exe" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
  set(options "size=1m")
  set(exit_code 1)
  set(stream output)
  # The messages cannot be saved there either: they reach the user through the package.
  set(expected "run code:  3 "
               ".*Package: Error: the messages of the solve are not saved: cannot write ${work}/CAERepOutput.xml: "
               "No space left on device\n"
               "  Package: Error: The solver run failed: the file system of the working folder ${work} ran "
               "full during the solve: the solver's files are incomplete\n")
else()
  message(FATAL_ERROR "unknown case ${CASE}")
endif()

execute_process(
  COMMAND "${UNSHARE}" -rm sh -c "mount -t tmpfs -o ${options} tmpfs \"$0\" && exec \"$1\" \"$2\" --work \"$3\""
          "${mount}" "${DORVIX}" "${EXAMPLE}" "${work}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
string(CONCAT expected ${expected})
if(NOT result EQUAL exit_code OR NOT "${${stream}}" MATCHES "${expected}" OR output MATCHES "solution incomplete|run code: +11 ")
  message(FATAL_ERROR "exit ${result} (expected ${exit_code}); expected in ${stream}:\n${expected}\n"
                      "output:\n${output}\nerrors:\n${errors}")
endif()
