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

# shellcheck source=scripts/wine-env.sh
. "$TEMVIK_ROOT/scripts/wine-env.sh"
if [[ -z ${DISPLAY:-} ]]; then
  echo "ctest-wine.sh: no DISPLAY, running the tests in a private Xvfb (xvfb-run -a)"
fi
temvik_need_display bash "${BASH_SOURCE[0]}" "$build_dir" "$@"

start=$SECONDS
temvik_wine_prepare
echo "ctest-wine.sh: wine ready in $((SECONDS - start)) s (prefix $WINEPREFIX, DISPLAY $DISPLAY)"

ctest --test-dir "$build_dir" --output-on-failure --no-tests=error --timeout 300 "$@"
