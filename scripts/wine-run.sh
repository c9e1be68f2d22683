#!/bin/sh
# Runs one Windows program under wine with the project's environment
# (scripts/wine-env.sh) and returns its exit status:
#
#   scripts/wine-run.sh build/mingw/tests/some_test.exe [args...]
#
# The mingw toolchain makes this the CMake cross-compiling emulator, so ctest
# runs every .exe test through it. With $DISPLAY set (xvfb-run -a ctest, or
# scripts/ctest-wine.sh) the prefix's wineserver stays up between programs and
# each start costs well under a second. Without $DISPLAY the program gets a
# private Xvfb and wineserver for its own run only, which is slow per program.
#
# Output of "--gtest_list_tests" loses the CR of wine's CRLF line ends, which
# gtest_discover_tests cannot parse; TEMVIK_WINE_STRIP_CR=1 asks for it always.
# (Plain sh on purpose: bash warns at start-up about LC_ALL=zh_CN.UTF-8.)
set -u

here=$(cd -- "$(dirname -- "$0")" && pwd)
TEMVIK_ROOT=$(dirname -- "$here")
# shellcheck source=scripts/wine-env.sh
. "$here/wine-env.sh" || exit 1

if [ $# -lt 1 ]; then
  echo "usage: $0 program.exe [args...]" >&2
  exit 2
fi

temvik_need_display /bin/sh "$0" "$@"
temvik_wine_prepare || exit 1

strip_cr=${TEMVIK_WINE_STRIP_CR:-}
for arg in "$@"; do
  case "$arg" in
    --gtest_list_tests) strip_cr=1 ;;
  esac
done

# In a private X server the script stays to end the wineserver afterwards.
if [ -z "${TEMVIK_IN_PRIVATE_X:-}" ] && [ -z "$strip_cr" ]; then
  exec "$TEMVIK_WINE" "$@"
fi

if [ -n "$strip_cr" ]; then
  exec 4>&1
  rc=$({ { "$TEMVIK_WINE" "$@" 3>&- 4>&-; echo $? >&3; } | sed -u 's/\r$//' >&4; } 3>&1)
  exec 4>&-
else
  rc=0
  "$TEMVIK_WINE" "$@" || rc=$?
fi
exit "$rc"
