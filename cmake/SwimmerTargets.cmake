# The one-line registrations of the project's own targets, and GoogleTest
# for both builds:
#   swimmer_library(<name> SOURCES <files...> [PUBLIC <targets...>] [PRIVATE <targets...>])
#   swimmer_executable(<name> [WIN32] [BROWSER] SOURCES <files...> LIBS <targets...>)
#   swimmer_test(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>])
#
# Each of them compiles with warnings on (errors in the presets), so that
# third-party targets keep their own flags. A library shows the folder of the
# CMakeLists.txt that registers it, and nothing else, to the targets that
# link it: a header of a higher layer is not on the include path below it.
# Headers for the library's own sources only sit in a subfolder internal/,
# which the library and its tests see and no other target does.
#
# Natively the Debian package provides GoogleTest and every test case becomes
# a CTest test of its own. The cross build compiles GoogleTest from Debian's
# sources and registers each executable as one CTest test, run under Wine
# through CMAKE_CROSSCOMPILING_EMULATOR: Wine starts slowly, so one process
# per library beats one per case. The WebAssembly build does the same under
# node, and links its programs for node unless they are BROWSER ones:
#   - real files instead of an in-memory file system (NODERAWFS), and an exit
#     status that reaches the shell (EXIT_RUNTIME);
#   - the module compiled synchronously: emscripten 3.1.6's asynchronous
#     loader and node's own fetch disagree about file paths;
#   - memory that grows as a native heap does, rather than a fixed 16 MB.

include(GoogleTest)

if(CMAKE_CROSSCOMPILING)
  set(SWIMMER_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH
      "GoogleTest sources for the cross build")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${SWIMMER_GTEST_SOURCE_DIR} googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
endif()

function(swimmer_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(SWIMMER_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

function(swimmer_internal_headers target)
  if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/internal)
    target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/internal)
  endif()
endfunction()

# Every target of ours is recorded, with its kind and folder, for the link
# graph that swimmer_write_link_graph writes at the end of the configuration.
function(swimmer_record kind name)
  set_property(GLOBAL APPEND PROPERTY SWIMMER_TARGETS ${name})
  set_property(GLOBAL PROPERTY SWIMMER_KIND_${name} ${kind})
  set_property(GLOBAL PROPERTY SWIMMER_DIR_${name} ${CMAKE_CURRENT_SOURCE_DIR})
endfunction()

function(swimmer_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
  swimmer_record(library ${name})
  if(ARG_SOURCES)
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    swimmer_internal_headers(${name})
    target_link_libraries(${name} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
    swimmer_warnings(${name})
  else()
    # Headers only.
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_PUBLIC})
  endif()
endfunction()

function(swimmer_executable name)
  cmake_parse_arguments(ARG "WIN32;BROWSER;TEST" "" "SOURCES;LIBS" ${ARGN})
  if(ARG_TEST)
    swimmer_record(test ${name})
  else()
    swimmer_record(program ${name})
  endif()
  if(ARG_WIN32)
    add_executable(${name} WIN32 ${ARG_SOURCES})
  else()
    add_executable(${name} ${ARG_SOURCES})
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  if(EMSCRIPTEN AND NOT ARG_BROWSER)
    target_link_options(${name} PRIVATE
      -sNODERAWFS=1 -sEXIT_RUNTIME=1 -sWASM_ASYNC_COMPILATION=0 -sENVIRONMENT=node
      -sALLOW_MEMORY_GROWTH=1)
  endif()
  swimmer_warnings(${name})
endfunction()

# The programs a release ships: installed, and built by the target
# `programs`, all a build needs whose tests run on another build.
add_custom_target(programs)
function(swimmer_ship name)
  install(TARGETS ${name} RUNTIME DESTINATION ${SWIMMER_PROGRAM_DESTINATION})
  add_dependencies(programs ${name})
endfunction()

function(swimmer_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  swimmer_executable(${name} TEST SOURCES ${ARG_SOURCES} LIBS ${ARG_LIBS} swimmer_test_main)
  swimmer_internal_headers(${name})
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
    # A run that selects no test case passes silently in GoogleTest; count
    # it as a failure.
    set_tests_properties(${name} PROPERTIES
      FAIL_REGULAR_EXPRESSION "\\[  PASSED  \\] 0 tests"
      TIMEOUT 600)
    if(EMSCRIPTEN)
      # The code is compiled at the build's level all the same; only the
      # whole-module optimisation after linking is lighter, which at -O3
      # takes about a minute for each test executable.
      target_link_options(${name} PRIVATE -O1)
      set_tests_properties(${name} PROPERTIES LABELS "node;${ARG_LABELS}")
    else()
      set_tests_properties(${name} PROPERTIES LABELS "wine;${ARG_LABELS}")
    endif()
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300 LABELS "${ARG_LABELS}")
  endif()
endfunction()

# Writes the graph of our targets, one line each, tab-separated:
#   kind  name  folder  direct links  sources
# (lists space-separated; links as given, system libraries included, a
# private link of a static library among them). scripts/check-layers reads
# it: the links are the one statement of which layer may use which.
function(swimmer_write_link_graph path)
  get_property(targets GLOBAL PROPERTY SWIMMER_TARGETS)
  set(lines "")
  foreach(target IN LISTS targets)
    get_property(kind GLOBAL PROPERTY SWIMMER_KIND_${target})
    get_property(dir GLOBAL PROPERTY SWIMMER_DIR_${target})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(links ${target} INTERFACE_LINK_LIBRARIES)
      set(sources "")
    else()
      get_target_property(links ${target} LINK_LIBRARIES)
      get_target_property(sources ${target} SOURCES)
    endif()
    if(NOT links)
      set(links "")
    endif()
    string(REPLACE ";" " " links "${links}")
    string(REPLACE ";" " " sources "${sources}")
    string(APPEND lines "${kind}\t${target}\t${dir}\t${links}\t${sources}\n")
  endforeach()
  file(WRITE ${path} "${lines}")
endfunction()
