#!/usr/bin/env bash
# Peak memory of the player with each benchmark board open: every case runs in a process of its own,
# after a first run has written the boards and pictures, so the peak (VmHWM) is the player's alone.
# Usage: bench/measure_memory.sh [path to bench_open_board]
set -euo pipefail
bench="${1:-build/bench/bench_open_board}"
export QT_QPA_PLATFORM=offscreen
# The first case writes the files once (reused by later runs from the same folder).
"$bench" --benchmark_filter='BM_ReopenPngBoard' --benchmark_min_time=0.01 >/dev/null 2>&1
for case in 'BM_OpenPngBoardCold/2' 'BM_ReopenPngBoard' 'BM_OpenJpegBoardCold/2' 'BM_OpenLargeJpegBoardCold/2'; do
  peak=$("$bench" --benchmark_filter="^${case}" --benchmark_min_time=0.01 2>/dev/null |
    grep -o "peak_rss_MB=[0-9.]*" | head -1 | cut -d= -f2 || true)
  printf '%-32s peak %s MB\n' "$case" "${peak:-?}"
done
