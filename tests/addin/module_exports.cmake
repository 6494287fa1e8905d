# Fails unless the dynamic symbols the module defines are exactly its six entry points.
execute_process(COMMAND nm -D --defined-only ${MODULE}
  OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm failed on ${MODULE}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${listing}")
set(names)
foreach(line IN LISTS lines)
  # "<address> <type> <name>[@version]"
  if(line MATCHES "^[0-9a-fA-F]* +[A-Za-z] +([^ @]+)")
    list(APPEND names "${CMAKE_MATCH_1}")
  endif()
endforeach()
list(SORT names)
set(expected DllCanUnloadNow DllGetClassObject DllRegisterServer DllRegisteredCoClasses
             DllRuntimeRegisteredCoClasses DllUnregisterServer)
list(SORT expected)
if(NOT names STREQUAL expected)
  message(FATAL_ERROR "the module exports [${names}], not only [${expected}]")
endif()
