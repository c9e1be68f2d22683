#!/usr/bin/env bash
# Measures how long the real temvik.exe under wine, in a private Xvfb, takes
# from 工具 → 统计 to showing the totals of a large history.
#
#   bash scripts/stats-open.sh [records] [openings]     (default 100000 records, 5)
set -euo pipefail
exec bash "$(dirname -- "${BASH_SOURCE[0]}")/win32-tool.sh" temvik_stats_open "${1:-100000}" "${2:-5}"
