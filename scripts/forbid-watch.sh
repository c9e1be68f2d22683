#!/usr/bin/env bash
# Measures the forbidden-process watch of the real temvik.exe under wine in a
# private Xvfb: its CPU share with five forbidden names, and how long a
# forbidden program lives from its start to its end.
#
#   bash scripts/forbid-watch.sh [starts] [seconds]     (default 50 starts, 10 s)
set -euo pipefail
exec bash "$(dirname -- "${BASH_SOURCE[0]}")/win32-tool.sh" temvik_forbid_watch "${1:-50}" "${2:-10}"
