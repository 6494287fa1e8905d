# The command line plays the host: it reaches the add-in only through the module it loads, so the
# program holds none of the add-in's own code. Fails when a function or datum that one of the
# add-in's libraries defines (a strong symbol: its classes' members, its functions, its tables) is
# defined in the program too, and names the first of them.
#   cmake -DNM=<nm> -DPROGRAM=<file> "-DLIBRARIES=<library>|<library>|..." -P links_no_addin_code.cmake
foreach(variable NM PROGRAM LIBRARIES)
  if(NOT ${variable})
    message(FATAL_ERROR "links_no_addin_code: ${variable} is not given")
  endif()
endforeach()

# The names of the symbols `file` defines whose type letter matches `types`, as ";name;name;".
function(defined_symbols file types out)
  execute_process(COMMAND ${NM} --defined-only ${file} OUTPUT_VARIABLE listing ERROR_VARIABLE error
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "links_no_addin_code: ${NM} cannot list ${file}: ${error}")
  endif()
  string(REGEX MATCHALL "[0-9a-f]+ ${types} [^\n]+" lines "${listing}")
  list(TRANSFORM lines REPLACE "^[0-9a-f]+ . " "")
  list(LENGTH lines count)
  if(count EQUAL 0)
    message(FATAL_ERROR "links_no_addin_code: ${file} defines no symbol of the kinds looked for")
  endif()
  string(JOIN ";" joined ${lines})
  set(${out} ";${joined};" PARENT_SCOPE)
endfunction()

# In the program the hidden symbols of the libraries it linked became local (lower-case letters).
defined_symbols("${PROGRAM}" "[TtDdBbRr]" program_symbols)
string(REPLACE "|" ";" libraries "${LIBRARIES}")
set(found "")
foreach(library IN LISTS libraries)
  defined_symbols("${library}" "[TDBR]" library_symbols)
  string(REGEX MATCHALL "[^;]+" names "${library_symbols}")
  foreach(name IN LISTS names)
    string(FIND "${program_symbols}" ";${name};" at)
    if(NOT at EQUAL -1)
      get_filename_component(library_name "${library}" NAME)
      list(APPEND found "${name} (${library_name})")
    endif()
  endforeach()
endforeach()

list(LENGTH found count)
if(count GREATER 0)
  list(SUBLIST found 0 10 shown)
  list(JOIN shown "\n  " shown)
  message(FATAL_ERROR "${PROGRAM} holds ${count} symbol(s) of the add-in's own code, among them:\n  ${shown}\n"
                      "The command line reaches the add-in only through the loaded module and its interfaces.")
endif()
message(STATUS "${PROGRAM} holds none of the add-in's code")
