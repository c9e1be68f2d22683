#!/usr/bin/env bash
# The project's run command:   bash scripts/run.sh
#
# Installs missing packages (scripts/install-deps.sh), builds temvik.exe with
# the mingw preset and starts it under wine, in build/mingw/src/app/ where it
# keeps its plan files (time.ini, win.ini, name.ini, out.ini, fin.ini; GBK).
#
# With $DISPLAY the window (inside wine's 1280x1024 virtual desktop) shows on
# that display. Without one it runs in a private Xvfb, and a screenshot of it
# is saved to build/mingw/run-screenshot.png after a few seconds.
# Closing the window ends the program; Ctrl-C ends it too.
#
# Settings (environment): TEMVIK_SKIP_DEPS=1 skips the package check;
# WINEPREFIX (default build/wineprefix) picks the wine prefix; TEMVIK_WINE_DPI
# (default 96) the screen's DPI, e.g. 144 for a 150 % display (its own prefix).
set -euo pipefail

ROOT=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"
BUILD_DIR=$ROOT/build/mingw
EXE=$BUILD_DIR/src/app/temvik.exe

# Built once, before the run inside a private X server (if any) starts.
if [[ -z ${TEMVIK_PRIVATE_X:-} ]]; then
  if [[ ${TEMVIK_SKIP_DEPS:-} != 1 ]]; then
    bash scripts/install-deps.sh
  fi
  if [[ ! -f $BUILD_DIR/CMakeCache.txt ]]; then
    cmake --preset mingw
  fi
  cmake --build "$BUILD_DIR" --target temvik --parallel "${TEMVIK_JOBS:-2}"
  if [[ -z ${DISPLAY:-} ]]; then
    echo "run.sh: no DISPLAY, so temvik.exe runs in a private Xvfb where no one can see it."
    echo "run.sh: set DISPLAY to an X server to use the program; a screenshot will be"
    echo "run.sh: saved to $BUILD_DIR/run-screenshot.png. Ctrl-C ends the program."
  fi
fi

# shellcheck source=scripts/wine-env.sh
. "$ROOT/scripts/wine-env.sh"
temvik_need_display bash "${BASH_SOURCE[0]}"
temvik_wine_prepare
echo "run.sh: starting $EXE"
echo "run.sh: plan files live beside it, in $(dirname -- "$EXE")/"
cd "$(dirname -- "$EXE")"

if [[ -z ${TEMVIK_IN_PRIVATE_X:-} ]]; then
  exec wine "$EXE"
fi

wine "$EXE" &
pid=$!
sleep 5
if command -v import >/dev/null 2>&1 && kill -0 "$pid" 2>/dev/null; then
  import -window root "$BUILD_DIR/run-screenshot.png" &&
    echo "run.sh: screenshot saved to $BUILD_DIR/run-screenshot.png"
fi
status=0
wait "$pid" || status=$?
exit "$status"
