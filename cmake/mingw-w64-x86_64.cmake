# Cross build for 64-bit Windows with Debian's mingw-w64 (posix thread model).
#   cmake --preset mingw      (or -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake)
# Programs built here run under wine through scripts/wine-run.sh, so ctest and
# gtest_discover_tests work as in a native build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TEMVIK_MINGW_TRIPLE x86_64-w64-mingw32)
# The -posix compilers give std::thread and friends; the -win32 ones do not.
set(CMAKE_C_COMPILER ${TEMVIK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TEMVIK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TEMVIK_MINGW_TRIPLE}-windres)

# Libraries, headers and CMake packages come from the mingw sysroot only, never
# from the Linux host (a host GTest must not be picked up); tools from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${TEMVIK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# add_test() and gtest_discover_tests() run .exe files through wine.
get_filename_component(_temvik_wine_run "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR /bin/sh "${_temvik_wine_run}")
