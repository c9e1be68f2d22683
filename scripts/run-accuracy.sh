#!/usr/bin/env bash
# Measures how exactly the real temvik.exe ends an item and counts it down,
# under wine in a private Xvfb:
#
#   bash scripts/run-accuracy.sh [seconds]     (default 600: a 10-minute item)
#
# Prints when the item ended against its due time and how far the countdown
# labels ever fell behind the true remaining time.
set -euo pipefail
exec bash "$(dirname -- "${BASH_SOURCE[0]}")/win32-tool.sh" temvik_run_accuracy "${1:-600}"
