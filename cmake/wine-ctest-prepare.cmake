# Included by ctest in a mingw build (TEST_INCLUDE_FILES of the top directory),
# before any gtest_discover_tests() runs a test program under wine: creates the
# wine prefix once and, when an X display is there, starts its wineserver, so
# that no test or test listing pays for that (10-15 s cold) inside its timeout.
get_filename_component(_temvik_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
if(DEFINED ENV{DISPLAY} AND NOT "$ENV{DISPLAY}" STREQUAL "")
  set(_temvik_step temvik_wine_prepare)
else()
  # Without a display each program gets its own Xvfb (scripts/wine-run.sh).
  set(_temvik_step temvik_wine_create_prefix)
endif()
execute_process(
  COMMAND /bin/sh -c "TEMVIK_ROOT='${_temvik_root}'; . \"\$TEMVIK_ROOT/scripts/wine-env.sh\" && ${_temvik_step}"
  RESULT_VARIABLE _temvik_result
  TIMEOUT 300)
if(NOT _temvik_result EQUAL 0)
  message(FATAL_ERROR "Preparing wine for the tests failed (${_temvik_result}); see the log beside the wine prefix.")
endif()
