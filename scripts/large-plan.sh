#!/usr/bin/env bash
# Times the real temvik.exe on a large plan under wine in a private Xvfb:
# 上移 on the middle row, and 从头执行 until the run window appears.
#
#   bash scripts/large-plan.sh [items]     (default 2000)
#
set -euo pipefail
ROOT=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${TEMVIK_BUILD:-$ROOT/build/mingw}
if [[ ! -f $BUILD/build.ninja ]]; then
  cmake --preset mingw -B "$BUILD"
fi
cmake --build "$BUILD" --parallel "${TEMVIK_JOBS:-2}" --target temvik temvik_large_plan
export TEMVIK_ROOT=$ROOT
exec sh "$ROOT/scripts/wine-run.sh" "$BUILD/tests/e2e/temvik_large_plan.exe" "${1:-2000}"
