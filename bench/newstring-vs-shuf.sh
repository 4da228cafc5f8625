#!/usr/bin/env bash
# The string window with the generated 1,000,000-record file: opening it in the editor and
# transferring it to the main window, each through the offscreen windows from the command to
# the idle state, as a ratio to `shuf -n 10` on the same file measured in the same run.
#   bench/newstring-vs-shuf.sh [BUILD_DIR]   (default: build; needs ui_newstring built)
set -euo pipefail
source "$(dirname "$0")/timing.sh"
build="${1:-build}"
records=$(records_file)
best=$(best_of 5 shuf -n 10 "$records")
open_best=""; send_best=""
for _ in 1 2 3; do
  out=$("$build/bench/ui_newstring" "$records" 2>/dev/null)
  open_best=$(smaller "$open_best" "$(echo "$out" | awk '/^open_seconds/ {print $2}')")
  send_best=$(smaller "$send_best" "$(echo "$out" | awk '/^transfer_seconds/ {print $2}')")
  entries=$(echo "$out" | awk '/^entries/ {print $2}')
  moves=$(echo "$out" | awk '/^progress_values/ {print $2}')
  rss=$(echo "$out" | awk '/^peak_rss_mb/ {print $2}')
done
printf 'shuf -n 10:                       %8.1f ms\n' "$(ms "$best")"
printf 'open 1e6 lines in the editor:     %8.1f ms   ratio %.1f\n' "$(ms "$open_best")" "$(ratio "$open_best" "$best")"
printf 'transfer to the main window:      %8.1f ms   ratio %.1f   (%s entries, progress shown at %s values)\n' \
  "$(ms "$send_best")" "$(ratio "$send_best" "$best")" "$entries" "$moves"
printf 'peak memory:                      %8.1f MB\n' "$rss"
