# dorvix_layer(<target> <folder> [SHARED] [deps...] [EXCLUDE <subfolder or file>...])
# One static library per layer (a shared one with SHARED), built from every .cpp below
# <folder>. A layer that has no sources yet is an interface target so that the layers below it
# still configure.
function(dorvix_layer target folder)
  cmake_parse_arguments(ARG "SHARED" "" "EXCLUDE" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/${folder}/*.cpp")
  foreach(sub IN LISTS ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "^${CMAKE_SOURCE_DIR}/${folder}/${sub}(/|$)")
  endforeach()
  if(sources)
    if(ARG_SHARED)
      add_library(${target} SHARED ${sources})
    else()
      add_library(${target} STATIC ${sources})
    endif()
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_UNPARSED_ARGUMENTS})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${target} INTERFACE ${ARG_UNPARSED_ARGUMENTS})
  endif()
endfunction()

# dorvix_test(<name> <folder> [deps...]): one GoogleTest executable from tests/<folder>/*.cpp.
function(dorvix_test name folder)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${CMAKE_SOURCE_DIR}/tests/${folder}/*.cpp")
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    DORVIX_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data"
    DORVIX_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    DORVIX_BINARY_DIR="${CMAKE_BINARY_DIR}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "DORVIX_BINARY_DIR=${CMAKE_BINARY_DIR}")
endfunction()
