# Test helpers: GoogleTest built inside the project, native tests discovered one by one, and
# Windows test programs run under wine64 in a prefix private to the build tree.
include(CTest)
include(GoogleTest)

macro(corvina_add_gtest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  if(WIN32)
    # gtest's own warnings are not ours to fix.
    target_compile_options(gtest PRIVATE -w)
    target_compile_options(gtest_main PRIVATE -w)
  endif()
endmacro()

# corvina_add_native_test(name SOURCES ... [LIBS ...]) builds a GoogleTest program over the
# portable core, with the native tests' shared support (tests/native/support), and lists each
# of its tests as a ctest entry of its own.
function(corvina_add_native_test name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE corvina_core corvina_native_test_support gtest_main
    ${A_LIBS})
  target_compile_options(${name} PRIVATE -Wall -Wextra -Werror)
  gtest_discover_tests(${name} TEST_PREFIX "native." DISCOVERY_TIMEOUT 60)
endfunction()

# Windows tests run under Wine in a prefix of the build's own architecture: a pure 32-bit
# Windows (WINEARCH=win32) for the i686 product, a 64-bit one for the x86_64 twin. A machine
# that cannot execute 32-bit code (its kernel refuses the 32-bit Wine loader, or the loader is
# not installed) still lists every i686 test, each reported as skipped with the reason.
set(CORVINA_SKIP_CODE 77)
if(WIN32)
  set(CORVINA_RUN_WINE_TESTS ON)
  set(CORVINA_WINE_STATE ${CMAKE_BINARY_DIR}/wine)
  set(CORVINA_WINE_ENV ${CMAKE_SOURCE_DIR}/tools/wine-env)
  set(CORVINA_WINE_RUN ${CORVINA_WINE_ENV} run ${CORVINA_WINE_STATE})
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(CORVINA_WINE_ARCH win64)
    set(loader /usr/lib/wine/wine64)
  else()
    set(CORVINA_WINE_ARCH win32)
    set(loader /usr/lib/wine/wine)
  endif()
  # The loader the probe runs; another one can be named to see how a tree reports a machine
  # that cannot run it.
  set(CORVINA_WINE_LOADER ${loader} CACHE FILEPATH "Wine loader probed for this architecture")
  set(CORVINA_WINE_SKIP_REASON "")
  if(NOT EXISTS ${CORVINA_WINE_LOADER})
    set(CORVINA_WINE_SKIP_REASON "${CORVINA_WINE_LOADER} is not installed")
  else()
    execute_process(COMMAND ${CORVINA_WINE_LOADER} --version
      RESULT_VARIABLE probe OUTPUT_QUIET ERROR_VARIABLE probe_error TIMEOUT 60)
    if(NOT probe EQUAL 0)
      string(STRIP "${probe_error}" probe_error)
      set(CORVINA_WINE_SKIP_REASON
        "this machine cannot execute ${CORVINA_WINE_LOADER} (${probe}: ${probe_error})")
    endif()
  endif()
  # tools/test reads the reason from the cache and says it in a line of its own.
  set(CORVINA_WINE_SKIP_REASON "${CORVINA_WINE_SKIP_REASON}" CACHE INTERNAL
    "why this tree's Windows tests cannot run here (empty: they run)" FORCE)
  if(CORVINA_WINE_SKIP_REASON)
    message(STATUS "Windows tests skipped: ${CORVINA_WINE_SKIP_REASON}")
  else()
    # One Xvfb display, one prefix copied fresh from a template, one wineserver kept alive
    # for the whole run: started before the first Windows test and stopped after the last.
    add_test(NAME wine.start COMMAND ${CORVINA_WINE_ENV} start ${CORVINA_WINE_STATE})
    # The desktop anchor keeps the virtual desktop open between one test program and the next.
    set_tests_properties(wine.start PROPERTIES FIXTURES_SETUP wine TIMEOUT 240
      ENVIRONMENT
        "WINE_ENV_ARCH=${CORVINA_WINE_ARCH};WINE_ENV_ANCHOR=$<TARGET_FILE:corvina_desktop_anchor>")
    add_test(NAME wine.stop COMMAND ${CORVINA_WINE_ENV} stop ${CORVINA_WINE_STATE})
    set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60)
  endif()
else()
  set(CORVINA_RUN_WINE_TESTS OFF)
endif()

# corvina_add_wine_entry(test COMMAND ...) adds one ctest entry that needs the Wine
# environment, or, where this machine cannot run the build's code, one that reports itself
# skipped with the reason.
function(corvina_add_wine_entry test)
  cmake_parse_arguments(A "" "" "COMMAND" ${ARGN})
  if(CORVINA_WINE_SKIP_REASON)
    add_test(NAME ${test} COMMAND ${CMAKE_COMMAND} -E echo
      "skipped: ${CORVINA_WINE_SKIP_REASON}")
    # The echo succeeds; its output is what marks the entry skipped.
    set_tests_properties(${test} PROPERTIES
      SKIP_REGULAR_EXPRESSION "^skipped: " LABELS wine)
  else()
    add_test(NAME ${test} COMMAND ${A_COMMAND})
    set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED wine LABELS wine)
  endif()
endfunction()

# corvina_add_win_test(name SOURCES ... [LIBS ...] [LOCALES en ja] [TIMEOUT s] [SERIAL]
#                      [PREFIX_COPY])
# Builds a GoogleTest program and runs it under Wine once per system language: "en" runs
# with LC_ALL=en_US.UTF-8, "ja" with LC_ALL=ja_JP.UTF-8 (a Japanese system, code page 932).
# SERIAL keeps the test from running beside others (it uses the keyboard, the mouse or
# machine-wide registry state). PREFIX_COPY runs each language in a throwaway copy of the
# template prefix with a server of its own (it may change the system's registrations; the
# program sees CORVINA_PREFIX_COPY=1). Every test program links the shared test support
# (tests/support).
function(corvina_add_win_test name)
  cmake_parse_arguments(A "SERIAL;PREFIX_COPY" "TIMEOUT" "SOURCES;LIBS;LOCALES" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE corvina_test_support gtest_main ${A_LIBS})
  if(NOT CORVINA_RUN_WINE_TESTS)
    return()
  endif()
  if(NOT A_LOCALES)
    set(A_LOCALES en ja)
  endif()
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  foreach(loc ${A_LOCALES})
    if(loc STREQUAL "ja")
      set(lc ja_JP.UTF-8)
    else()
      set(lc en_US.UTF-8)
    endif()
    set(test win.${name}.${loc})
    set(run ${CORVINA_WINE_RUN})
    set(env "LC_ALL=${lc};CORVINA_LOCALE=${loc}")
    if(A_PREFIX_COPY)
      set(run ${CORVINA_WINE_ENV} run-copy ${CORVINA_WINE_STATE})
      set(env "${env};CORVINA_PREFIX_COPY=1")
    endif()
    corvina_add_wine_entry(${test} COMMAND ${run} $<TARGET_FILE:${name}> --gtest_color=no)
    set_tests_properties(${test} PROPERTIES ENVIRONMENT "${env}" TIMEOUT ${A_TIMEOUT})
    if(A_SERIAL)
      set_tests_properties(${test} PROPERTIES RUN_SERIAL ON)
    endif()
  endforeach()
endfunction()

# corvina_add_scenario(name SCRIPT script ARGS ...) runs a shell script that drives our
# programs with the real keyboard and mouse (xdotool) on the virtual desktop, once per system
# language, alone (it moves the pointer and uses machine-wide state). Without xdotool the
# configure step fails: a scenario is never left out quietly.
function(corvina_add_scenario name)
  cmake_parse_arguments(A "" "SCRIPT;TIMEOUT" "ARGS" ${ARGN})
  if(NOT CORVINA_RUN_WINE_TESTS)
    return()
  endif()
  find_program(CORVINA_XDOTOOL xdotool)
  if(NOT CORVINA_XDOTOOL)
    message(FATAL_ERROR "scenario ${name} needs xdotool: run tools/deps")
  endif()
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  foreach(loc en ja)
    if(loc STREQUAL "ja")
      set(lc ja_JP.UTF-8)
    else()
      set(lc en_US.UTF-8)
    endif()
    corvina_add_wine_entry(scenario.${name}.${loc}
      COMMAND ${A_SCRIPT} ${CORVINA_WINE_ENV} ${CORVINA_WINE_STATE} ${A_ARGS})
    set_tests_properties(scenario.${name}.${loc} PROPERTIES
      RUN_SERIAL ON TIMEOUT ${A_TIMEOUT} ENVIRONMENT "LC_ALL=${lc};CORVINA_LOCALE=${loc}")
  endforeach()
endfunction()
