# GoogleTest for both builds, and swimmer_test(), the one-line registration
# of a test executable.
#
# Natively the Debian package provides GoogleTest and every test case becomes
# a CTest test of its own. The cross build compiles GoogleTest from Debian's
# sources and registers each executable as one CTest test, run under Wine
# through CMAKE_CROSSCOMPILING_EMULATOR: Wine starts slowly, so one process
# per library beats one per case.

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

# swimmer_test(<name> SOURCES <files...> LIBS <targets...> [GUI])
function(swimmer_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} swimmer_test_main)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name})
    # A run that selects no test case passes silently in GoogleTest; count
    # it as a failure.
    set_tests_properties(${name} PROPERTIES
      FAIL_REGULAR_EXPRESSION "\\[  PASSED  \\] 0 tests"
      TIMEOUT 600
      LABELS "wine")
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
  endif()
endfunction()
