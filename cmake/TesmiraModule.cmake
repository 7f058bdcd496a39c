# One static library per source folder. Sources are globbed so that adding a
# file to a module needs no edit of a shared CMake file.
add_library(tsm_options INTERFACE)
target_include_directories(tsm_options INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_options(tsm_options INTERFACE -Wall -Wextra)
find_package(Threads REQUIRED)
target_link_libraries(tsm_options INTERFACE Threads::Threads)

# tsm_module(<name> [DEPS targets...])
function(tsm_module name)
  cmake_parse_arguments(M "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(srcs)
    add_library(tsm_${name} STATIC ${srcs})
    target_link_libraries(tsm_${name} PUBLIC tsm_options ${M_DEPS})
  else()
    add_library(tsm_${name} INTERFACE)
    target_link_libraries(tsm_${name} INTERFACE tsm_options ${M_DEPS})
  endif()
endfunction()

# tsm_test(<name> DIR <folder under tests/> [DEPS targets...]): one
# GoogleTest executable from the *.cpp files of that folder, each test case
# registered with CTest. A folder without sources builds nothing yet.
function(tsm_test name)
  cmake_parse_arguments(T "" "DIR" "DEPS;LABELS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${T_DIR}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(test_${name} ${srcs})
  target_link_libraries(test_${name} PRIVATE tsm_options tsm_testsupport ${T_DEPS}
                        GTest::gtest GTest::gmock)
  gtest_discover_tests(test_${name} DISCOVERY_MODE PRE_TEST
                       PROPERTIES LABELS "${name};${T_LABELS}"
                       WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
endfunction()
