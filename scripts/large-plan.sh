#!/usr/bin/env bash
# Times the real temvik.exe on large plans under wine in a private Xvfb: for
# each size, both lists hold that many items; prints one table row per size
# (start-up, list actions, 从头执行, the idle program's answers, memory).
#
#   bash scripts/large-plan.sh [items ...]     (default 20 2000 10000)
#
# TEMVIK_EXE='Z:\path\to\other\temvik.exe' times another build of the program.
set -euo pipefail
exec bash "$(dirname -- "${BASH_SOURCE[0]}")/win32-tool.sh" temvik_large_plan "$@"
