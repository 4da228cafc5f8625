#!/usr/bin/env bash
# What keeping a record costs a draw: the million-value draw of ui_draw from Start to idle,
# with records on and off, interleaved so both see the same machine; best of N each.
#   bench/draw-record.sh [BUILD_DIR] [N]   (default: build, 7; needs ui_draw built)
set -euo pipefail
source "$(dirname "$0")/timing.sh"
build="${1:-build}"
runs="${2:-7}"
best_on=""
best_off=""
kb=""
for _ in $(seq "$runs"); do
  out=$("$build/bench/ui_draw" 1000000)
  best_on=$(smaller "$best_on" "$(echo "$out" | awk '/start_to_idle_seconds/ {print $2}')")
  kb=$(echo "$out" | awk '/record_kb/ {print $2}')
  out=$("$build/bench/ui_draw" 1000000 --no-record)
  best_off=$(smaller "$best_off" "$(echo "$out" | awk '/start_to_idle_seconds/ {print $2}')")
done
printf 'Start to idle, 1e6 distinct values, records off: %8.1f ms\n' "$(ms "$best_off")"
printf 'Start to idle, 1e6 distinct values, records on:  %8.1f ms   ratio %.2f   record %s KB\n' \
  "$(ms "$best_on")" "$(ratio "$best_on" "$best_off")" "$kb"
