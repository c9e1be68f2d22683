#!/usr/bin/env bash
# Runs ctest on a mingw build folder, every .exe under wine:
#
#   bash scripts/ctest-wine.sh [build-folder] [ctest args...]   (default build/mingw)
#
# Uses $DISPLAY when set; otherwise runs inside its own Xvfb (xvfb-run -a) and
# ends the prefix's wineserver when done. The wine prefix is made ready first
# (about 10-15 s the very first time), so each test program starts in ~0.1 s.
set -euo pipefail

TEMVIK_ROOT=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd)
export TEMVIK_ROOT

build_dir=$TEMVIK_ROOT/build/mingw
if [[ $# -gt 0 && $1 != -* ]]; then
  build_dir=$1
  shift
fi
if [[ ! -f $build_dir/CTestTestfile.cmake ]]; then
  echo "ctest-wine.sh: $build_dir is not a configured build folder" >&2
  exit 2
fi

if [[ -z ${DISPLAY:-} ]]; then
  if [[ -n ${TEMVIK_CTEST_IN_XVFB:-} ]]; then
    echo "ctest-wine.sh: xvfb-run gave no DISPLAY" >&2
    exit 1
  fi
  echo "ctest-wine.sh: no DISPLAY, running the tests in a private Xvfb (xvfb-run -a)"
  TEMVIK_CTEST_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" \
    bash "${BASH_SOURCE[0]}" "$build_dir" "$@"
fi

# shellcheck source=scripts/wine-env.sh
. "$TEMVIK_ROOT/scripts/wine-env.sh"
if [[ -n ${TEMVIK_CTEST_IN_XVFB:-} ]]; then
  # The X server goes away with us; so must the wineserver bound to it.
  trap temvik_wine_stop EXIT
fi

start=$SECONDS
temvik_wine_prepare
echo "ctest-wine.sh: wine ready in $((SECONDS - start)) s (prefix $WINEPREFIX, DISPLAY $DISPLAY)"

ctest --test-dir "$build_dir" --output-on-failure --no-tests=error --timeout 300 "$@"
