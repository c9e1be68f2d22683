#!/usr/bin/env bash
# Measures how exactly the real temvik.exe ends an item and counts it down,
# under wine in a private Xvfb:
#
#   bash scripts/run-accuracy.sh [seconds]     (default 600: a 10-minute item)
#
# Prints when the item ended against its due time and how far the countdown
# labels ever fell behind the true remaining time.
set -euo pipefail
ROOT=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${TEMVIK_BUILD:-$ROOT/build/mingw}
if [[ ! -f $BUILD/build.ninja ]]; then
  cmake --preset mingw -B "$BUILD"
fi
cmake --build "$BUILD" --parallel "${TEMVIK_JOBS:-2}" --target temvik temvik_run_accuracy
export TEMVIK_ROOT=$ROOT
exec sh "$ROOT/scripts/wine-run.sh" "$BUILD/tests/e2e/temvik_run_accuracy.exe" "${1:-600}"
