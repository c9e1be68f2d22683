#!/usr/bin/env bash
# Builds temvik.exe and one of the measuring tools that drive it, then runs
# the tool under wine in a private Xvfb (as scripts/wine-run.sh does):
#
#   bash scripts/win32-tool.sh TARGET [ARGS...]    (TARGET: temvik_run_accuracy, temvik_large_plan, temvik_forbid_watch, temvik_stats_open)
set -euo pipefail
ROOT=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${TEMVIK_BUILD:-$ROOT/build/mingw}
target=$1
shift
if [[ ! -f $BUILD/build.ninja ]]; then
  cmake --preset mingw -B "$BUILD"
fi
cmake --build "$BUILD" --parallel "${TEMVIK_JOBS:-2}" --target temvik "$target"
export TEMVIK_ROOT=$ROOT
exec sh "$ROOT/scripts/wine-run.sh" "$BUILD/tests/e2e/$target.exe" "$@"
