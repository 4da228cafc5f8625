#!/usr/bin/env bash
# What keeping a record costs a draw: the million-value draw of ui_draw from Start to idle,
# with records on and off, interleaved so both see the same machine; best of N each.
#   bench/draw-record.sh [BUILD_DIR] [N]   (default: build, 7; needs ui_draw built)
set -euo pipefail
build="${1:-build}"
runs="${2:-7}"
best_on=""
best_off=""
kb=""
for _ in $(seq "$runs"); do
  for mode in on off; do
    if [ "$mode" = on ]; then out=$("$build/bench/ui_draw" 1000000); else out=$("$build/bench/ui_draw" 1000000 --no-record); fi
    t=$(echo "$out" | awk '/start_to_idle_seconds/ {print $2}')
    if [ "$mode" = on ]; then
      kb=$(echo "$out" | awk '/record_kb/ {print $2}')
      if [ -z "$best_on" ] || (( $(echo "$t < $best_on" | bc -l) )); then best_on=$t; fi
    else
      if [ -z "$best_off" ] || (( $(echo "$t < $best_off" | bc -l) )); then best_off=$t; fi
    fi
  done
done
printf 'Start to idle, 1e6 distinct values, records off: %8.1f ms\n' "$(echo "$best_off*1000" | bc -l)"
printf 'Start to idle, 1e6 distinct values, records on:  %8.1f ms   ratio %.2f   record %s KB\n' \
  "$(echo "$best_on*1000" | bc -l)" "$(echo "$best_on/$best_off" | bc -l)" "$kb"
