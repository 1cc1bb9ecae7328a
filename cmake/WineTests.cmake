# Tests that run the cross-built Windows programs under Wine. Available in native builds
# configured with OSTRIVANE_WITH_WIN32; OSTRIVANE_WIN32_DIR is the cross build's binary folder.
set(OSTRIVANE_WINE_RUNNER ${PROJECT_SOURCE_DIR}/tests/wine/run-wine.sh)
set(OSTRIVANE_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)

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
