# Tests that run the cross-built Windows programs under Wine. Available in native builds
# configured with OSTRIVANE_WITH_WIN32; OSTRIVANE_WIN32_DIR is the cross build's binary folder.
set(OSTRIVANE_WINE_RUNNER ${PROJECT_SOURCE_DIR}/tests/wine/run-wine.sh)
set(OSTRIVANE_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)

# Whether this machine can run Wine's 32-bit programs at all: a Linux kernel started without its
# 32-bit support (ia32_emulation=off) refuses them ("Exec format error"). Then the tests under
# Wine are registered but disabled, and ctest lists them as not run, rather than failing every one
# of them for a reason that has nothing to do with the code.
execute_process(COMMAND wine --version RESULT_VARIABLE wine_status OUTPUT_QUIET ERROR_QUIET)
if(wine_status EQUAL 0)
  set(OSTRIVANE_WINE_RUNS ON)
else()
  set(OSTRIVANE_WINE_RUNS OFF)
  message(WARNING "Wine cannot run 32-bit programs on this machine (its kernel has no 32-bit support, or "
                  "Wine is missing): the tests that run the Windows programs under Wine are disabled")
endif()

# ostrivane_add_wine_test(NAME name [DISPLAY] [WORKING_DIRECTORY dir] COMMAND program.exe args...)
# The program path may use ${OSTRIVANE_WIN32_DIR}. DISPLAY gives it a private Xvfb display.
function(ostrivane_add_wine_test)
  cmake_parse_arguments(ARG "DISPLAY" "NAME;WORKING_DIRECTORY" "COMMAND" ${ARGN})
  set(display_flag)
  if(ARG_DISPLAY)
    set(display_flag --display)
  endif()
  if(NOT ARG_WORKING_DIRECTORY)
    set(ARG_WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  endif()
  add_test(NAME ${ARG_NAME}
    COMMAND ${OSTRIVANE_WINE_RUNNER} ${OSTRIVANE_WINE_PREFIX} ${display_flag} ${ARG_COMMAND}
    WORKING_DIRECTORY ${ARG_WORKING_DIRECTORY})
  set_tests_properties(${ARG_NAME} PROPERTIES LABELS wine TIMEOUT 300)
endfunction()

# Disables the tests labelled `wine` of the folder it is called from (CMake sees a test's
# properties only there), when this machine cannot run them. Each folder with such tests calls it
# last.
function(ostrivane_disable_wine_tests_here)
  if(OSTRIVANE_WINE_RUNS)
    return()
  endif()
  get_property(tests DIRECTORY PROPERTY TESTS)
  foreach(test IN LISTS tests)
    get_test_property(${test} LABELS labels)
    if("wine" IN_LIST labels)
      set_tests_properties(${test} PROPERTIES DISABLED TRUE)
    endif()
  endforeach()
endfunction()
