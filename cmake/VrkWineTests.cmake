# Tests run under Wine: GoogleTest built with our toolchain, a template machine made once per build,
# and every test program run on a fresh clone of it by scripts/wine-run.sh.

set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# The win32 thread model has no std::mutex: GoogleTest finds a port header of ours first that
# gives it a Notification on a Win32 event.
target_include_directories(gtest BEFORE PUBLIC ${CMAKE_SOURCE_DIR}/tests/support/gtest-port)

# Code that only the tests run is compiled without optimisation: it starts programs under Wine and
# waits for them, so the optimiser's work on it buys nothing, and it was the larger part of the
# build. The code under test keeps the build type's optimisation, as it ships.
set(VRK_TEST_CODE_OPTIONS -O0)
target_compile_options(gtest PRIVATE ${VRK_TEST_CODE_OPTIONS})
target_compile_options(gtest_main PRIVATE ${VRK_TEST_CODE_OPTIONS})

# Tests that run a Wine machine hold the one place of the resource "machines"
# (cmake/test_resources.json, named by the test preset): two test machines starting at once on a
# two-core machine have failed their first registry and service calls now and then. Jobs without a
# machine (the niced fuzzers, the package checks) run beside them on ctest's further jobs.
set(VRK_MACHINE_TEST_PROPERTIES FIXTURES_REQUIRED machine RESOURCE_GROUPS machines:1)

set(VRK_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
set(VRK_MACHINE_TEMPLATE ${CMAKE_BINARY_DIR}/machines/template)

# The template machine: made by the fixture test before any test that needs it, and remade only
# when the testbed's machine data or the script changed.
add_test(NAME machine_template
         COMMAND ${CMAKE_SOURCE_DIR}/scripts/make-machine.sh ${VRK_MACHINE_TEMPLATE})
set_tests_properties(machine_template PROPERTIES FIXTURES_SETUP machine TIMEOUT 300 RUN_SERIAL ON)

# vrk_add_wine_test(<name> SOURCES <files...> [LIBS <libs...>] [TIMEOUT <s>] [LANGUAGE en|de]
#                   [ENVIRONMENT <VAR=value...>] [SMALL_DRIVE <letter> <size>])
# Builds a GoogleTest program and registers it as one CTest test that runs on its own machine.
# SMALL_DRIVE gives that machine a drive of the size (a tmpfs, "64k") that the test can fill up.
function(vrk_add_wine_test name)
  cmake_parse_arguments(T "" "TIMEOUT;LANGUAGE" "SOURCES;LIBS;ENVIRONMENT;SMALL_DRIVE" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 240)
  endif()
  if(NOT T_LANGUAGE)
    set(T_LANGUAGE en)
  endif()
  set(small_drive)
  if(T_SMALL_DRIVE)
    set(small_drive --small-drive ${T_SMALL_DRIVE})
  endif()
  add_executable(${name} ${T_SOURCES})
  vrk_target_defaults(${name})
  target_compile_options(${name} PRIVATE ${VRK_TEST_CODE_OPTIONS})
  target_precompile_headers(${name} REUSE_FROM vrk_test_support)
  target_link_libraries(${name} PRIVATE vrk_test_support ${T_LIBS} GTest::gtest GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VRK_TESTS_DIR})
  add_test(NAME ${name}
           COMMAND ${VRK_WINE_RUN} --build ${CMAKE_BINARY_DIR} --name ${name}
                   --language ${T_LANGUAGE} --timeout ${T_TIMEOUT} ${small_drive}
                   -- "C:\\tests\\${name}.exe" --gtest_color=no)
  # CTest's own limit lies above the runner's, so that the runner can report and clean up a hang.
  math(EXPR ctest_timeout "${T_TIMEOUT} + 60")
  set_tests_properties(${name} PROPERTIES
    ${VRK_MACHINE_TEST_PROPERTIES} TIMEOUT ${ctest_timeout} ENVIRONMENT "${T_ENVIRONMENT}")
endfunction()
