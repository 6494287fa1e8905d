# The command line finding, registering and loading the add-in module, one case per run (CASE),
# each in a registry file of its own. Expects DORVIX, PLATFORM_LIBRARY (a library that is no
# component module), EXAMPLE (a case folder), SCRATCH, CASE, ADDIN_FOLDER and APPLET_FOLDER (the
# install folders the build stood up) and UNITS_CASE (a case that converts model values between
# units, which it can only with the applet's unit definitions).
foreach(var DORVIX PLATFORM_LIBRARY EXAMPLE SCRATCH CASE ADDIN_FOLDER APPLET_FOLDER UNITS_CASE)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")
set(registry "${SCRATCH}/registry.txt")
set(solver_class "{E963ECA3-80F7-4291-A63F-633CA1F6454E}")
set(program "${DORVIX}")
get_filename_component(program_folder "${DORVIX}" DIRECTORY)
set(solve "${EXAMPLE}" --work "${SCRATCH}/run")
set(exit_code 2)
set(stream errors)

if(CASE STREQUAL "register")
  # A fresh registry is completed with the install folders; the classes as the module hands them
  # to the host framework, in the module's order.
  set(arguments register)
  set(exit_code 0)
  set(stream output)
  set(expected "registered: ${program_folder}/libdorvixsolver.so\nregistry:   ${registry}\n"
               "add-in:     ${ADDIN_FOLDER}\napplet:     ${APPLET_FOLDER}\n"
               "  ${solver_class} DorvixSolver.JXDorvixSolver.120\n"
               "  {CDA7510D-6C5F-4F7C-8DF5-A490A6E6DE21} DorvixSolver.DorvixProxy.120\n"
               "  {92EE5997-CBFC-4627-850B-332C9FE2AFD9} DorvixSolver.DorvixAnalysisSettings.120\n"
               "  {754706DA-154C-4A95-935F-C3006264668B} DorvixSolver.DorvixAddin.120\n")
elseif(CASE STREQUAL "solve_registers_the_module_first")
  file(WRITE "${registry}" "# no classes yet\n")
  set(arguments ${solve})
  set(exit_code 0)
  set(stream output)
  set(expected "run code:  0 ")
elseif(CASE STREQUAL "register_missing_module")
  set(arguments register --module "${SCRATCH}/missing/libdorvixsolver.so")
  set(expected "dorvix register: no module file ${SCRATCH}/missing/libdorvixsolver.so\n")
elseif(CASE STREQUAL "register_not_a_module")
  set(arguments register --module "${PLATFORM_LIBRARY}")
  set(expected "is no component module: it exports no DllGetClassObject\n")
elseif(CASE STREQUAL "registry_names_a_missing_module")
  # Every class of the add-in registered, in a module that has gone since.
  file(WRITE "${registry}" "")
  foreach(class ${solver_class} {CDA7510D-6C5F-4F7C-8DF5-A490A6E6DE21} {92EE5997-CBFC-4627-850B-332C9FE2AFD9}
                {754706DA-154C-4A95-935F-C3006264668B})
    file(APPEND "${registry}" "[HKEY_CLASSES_ROOT\\CLSID\\${class}\\InprocServer32]\n"
                              "@=\"${SCRATCH}/gone/libdorvixsolver.so\"\n")
  endforeach()
  set(arguments ${solve})
  set(expected "names ${SCRATCH}/gone/libdorvixsolver.so as the module of the solver's class ${solver_class}: "
               "no module file ${SCRATCH}/gone/libdorvixsolver.so\n")
elseif(CASE STREQUAL "registry_without_the_class")
  # The program alone, without the module the build puts beside it.
  file(WRITE "${registry}" "# no classes\n")
  file(COPY "${DORVIX}" DESTINATION "${SCRATCH}/bin")
  get_filename_component(name "${DORVIX}" NAME)
  set(program "${SCRATCH}/bin/${name}")
  set(arguments ${solve})
  set(expected "holds no module for the solver's class ${solver_class}, and there is no module beside the "
               "program to register (${SCRATCH}/bin/libdorvixsolver.so)\n")
elseif(CASE STREQUAL "registry_not_a_registry_file")
  # The parser's reason reaches the user; the file is neither registered into nor rewritten.
  file(WRITE "${registry}" "[HKEY_CLASSES_ROOT\\CLSID]\nbogus line\n")
  set(arguments ${solve})
  set(expected "dorvix: the registry file ${registry} is no registry file: line 2: a value name must be quoted\n")
elseif(CASE STREQUAL "register_read_only")
  file(WRITE "${registry}" "# kept as it is\n")
  file(CHMOD "${registry}" PERMISSIONS OWNER_READ GROUP_READ WORLD_READ)
  set(arguments register)
  set(expected "in ${registry} failed: the registry file is not written: cannot write ${registry}: "
               "the file is read-only\n")
else()
  message(FATAL_ERROR "unknown case ${CASE}")
endif()
if(EXISTS "${registry}")
  file(READ "${registry}" registry_before)
endif()

execute_process(COMMAND "${CMAKE_COMMAND}" -E env "DORVIX_REGISTRY=${registry}" "${program}" ${arguments}
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
string(CONCAT expected ${expected})
string(FIND "${${stream}}" "${expected}" at)
if(NOT result EQUAL exit_code OR at EQUAL -1)
  message(FATAL_ERROR "exit ${result} (expected ${exit_code}); expected in ${stream}:\n${expected}\n"
                      "output:\n${output}\nerrors:\n${errors}")
endif()
if(CASE STREQUAL "register")
  # The registry the registration wrote serves a solve whose values need the unit definitions.
  execute_process(COMMAND "${CMAKE_COMMAND}" -E env "DORVIX_REGISTRY=${registry}" "${program}" "${UNITS_CASE}"
                          --work "${SCRATCH}/units-run"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
  if(NOT result EQUAL 0 OR NOT output MATCHES "run code: +0 ")
    message(FATAL_ERROR "the registered registry does not serve ${UNITS_CASE}: exit ${result}\n${output}\n${errors}")
  endif()
endif()
if(CASE MATCHES "^(registry_not_a_registry_file|register_read_only)$")
  file(READ "${registry}" registry_after)
  if(NOT registry_after STREQUAL registry_before)
    message(FATAL_ERROR "the refused registry file was rewritten:\n${registry_after}")
  endif()
endif()
if(CASE STREQUAL "solve_registers_the_module_first")
  file(READ "${registry}" written)
  string(FIND "${written}" "\\InprocServer32]\n@=\"${program_folder}/libdorvixsolver.so\"" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the solve did not register the module beside the program:\n${written}")
  endif()
endif()
