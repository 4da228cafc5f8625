#!/usr/bin/env bash
# Reading a generated 1,000,000-record CP932 CSV through the window, as a ratio to
# `shuf -n 10` on the same file measured in the same run.
#   bench/read-vs-shuf.sh [BUILD_DIR]   (default: build; needs ui_read built)
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
ui_best=""
for _ in 1 2 3; do
  out=$("$build/bench/ui_read" "$records" 2>/dev/null)
  t=$(echo "$out" | awk '/command_to_idle_seconds/ {print $2}')
  rss=$(echo "$out" | awk '/peak_rss_mb/ {print $2}')
  entries=$(echo "$out" | awk '/^entries/ {print $2}')
  if [ -z "$ui_best" ] || (( $(echo "$t < $ui_best" | bc -l) )); then ui_best=$t; fi
done
stop=$("$build/bench/ui_read" "$records" --stop 2>/dev/null | awk '/stop_to_idle_ms/ {print $2}')
printf 'read 1e6 records through the window: %8.1f ms (%s entries)   shuf -n 10 %8.1f ms   ratio %.2f\n' \
  "$(echo "$ui_best*1000" | bc -l)" "$entries" "$(echo "$best*1000" | bc -l)" "$(echo "$ui_best/$best" | bc -l)"
printf 'peak memory with the file loaded:    %8.1f MB\n' "$rss"
printf 'stop during the read, to idle:       %8.1f ms\n' "$stop"
