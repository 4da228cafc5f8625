#!/usr/bin/env bash
# Reading a generated 1,000,000-record CP932 CSV through the window, as a ratio to
# `shuf -n 10` on the same file measured in the same run.
#   bench/read-vs-shuf.sh [BUILD_DIR]   (default: build; needs ui_read built)
set -euo pipefail
source "$(dirname "$0")/timing.sh"
build="${1:-build}"
records=$(records_file)
best=$(best_of 5 shuf -n 10 "$records")
ui_best=""
for _ in 1 2 3; do
  out=$("$build/bench/ui_read" "$records" 2>/dev/null)
  ui_best=$(smaller "$ui_best" "$(echo "$out" | awk '/command_to_idle_seconds/ {print $2}')")
  rss=$(echo "$out" | awk '/peak_rss_mb/ {print $2}')
  entries=$(echo "$out" | awk '/^entries/ {print $2}')
done
stop=$("$build/bench/ui_read" "$records" --stop 2>/dev/null | awk '/stop_to_idle_ms/ {print $2}')
printf 'read 1e6 records through the window: %8.1f ms (%s entries)   shuf -n 10 %8.1f ms   ratio %.2f\n' \
  "$(ms "$ui_best")" "$entries" "$(ms "$best")" "$(ratio "$ui_best" "$best")"
printf 'peak memory with the file loaded:    %8.1f MB\n' "$rss"
printf 'stop during the read, to idle:       %8.1f ms\n' "$stop"
