#!/usr/bin/env bash
# Times the real temvik.exe on a large plan under wine in a private Xvfb:
# 上移 on the middle row, and 从头执行 until the run window appears.
#
#   bash scripts/large-plan.sh [items]     (default 2000)
set -euo pipefail
exec bash "$(dirname -- "${BASH_SOURCE[0]}")/win32-tool.sh" temvik_large_plan "${1:-2000}"
