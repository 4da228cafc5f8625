#!/usr/bin/env bash
# The string window with the generated 1,000,000-record file: opening it in the editor and
# transferring it to the main window, each through the offscreen windows from the command to
# the idle state, as a ratio to `shuf -n 10` on the same file measured in the same run.
#   bench/newstring-vs-shuf.sh [BUILD_DIR]   (default: build; needs ui_newstring built)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-build}"
records="${TMPDIR:-/tmp}/kujimaru-records-1m.csv"
[ -f "$records" ] || python3 "$here/../../shared/bench/make-records" 1000000 "$records"
best=""
for _ in 1 2 3 4 5; do
  t0=$(date +%s.%N); shuf -n 10 "$records" >/dev/null; t1=$(date +%s.%N)
  d=$(echo "$t1 - $t0" | bc -l)
  if [ -z "$best" ] || (( $(echo "$d < $best" | bc -l) )); then best=$d; fi
done
open_best=""; send_best=""
for _ in 1 2 3; do
  out=$("$build/bench/ui_newstring" "$records" 2>/dev/null)
  o=$(echo "$out" | awk '/^open_seconds/ {print $2}')
  s=$(echo "$out" | awk '/^transfer_seconds/ {print $2}')
  entries=$(echo "$out" | awk '/^entries/ {print $2}')
  moves=$(echo "$out" | awk '/^progress_values/ {print $2}')
  rss=$(echo "$out" | awk '/^peak_rss_mb/ {print $2}')
  if [ -z "$open_best" ] || (( $(echo "$o < $open_best" | bc -l) )); then open_best=$o; fi
  if [ -z "$send_best" ] || (( $(echo "$s < $send_best" | bc -l) )); then send_best=$s; fi
done
printf 'shuf -n 10:                       %8.1f ms\n' "$(echo "$best*1000" | bc -l)"
printf 'open 1e6 lines in the editor:     %8.1f ms   ratio %.1f\n' \
  "$(echo "$open_best*1000" | bc -l)" "$(echo "$open_best/$best" | bc -l)"
printf 'transfer to the main window:      %8.1f ms   ratio %.1f   (%s entries, progress shown at %s values)\n' \
  "$(echo "$send_best*1000" | bc -l)" "$(echo "$send_best/$best" | bc -l)" "$entries" "$moves"
printf 'peak memory:                      %8.1f MB\n' "$rss"
