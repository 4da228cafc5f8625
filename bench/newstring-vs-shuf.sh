#!/usr/bin/env bash
# The string window with the generated 1,000,000-record file, through the offscreen windows
# (see ui_newstring.cpp for each step): opening it in the editor, transferring it to the main
# window, saving it, gathering it for printing, a resize, an open over it stopped and one to
# its end, pasting 20 MB of it into an empty editor, and what Qt's text document alone takes
# for the text. For each, the best time to idle of a few runs and its best ratio to
# `shuf -n 10` on the same file measured in the same round just before, the smallest longest
# gap between two turns of the event loop, and the largest peak memory.
#   bench/newstring-vs-shuf.sh [BUILD_DIR] [ROUNDS]   (default: build, 5; needs ui_newstring built)
set -euo pipefail
source "$(dirname "$0")/timing.sh"
build="${1:-build}"
rounds="${2:-5}"
records=$(records_file)
results=$(mktemp)
trap 'rm -f "$results"' EXIT
for _ in $(seq "$rounds"); do
  shuf_seconds=$(best_of 5 shuf -n 10 "$records")
  "$build/bench/ui_newstring" "$records" 2>/dev/null \
    | awk -v shuf="$shuf_seconds" 'NF == 4 && $1 != "command" {print $1, $2, $3, $4, $2 / shuf, shuf}
                                   NF == 2 {print $1, $2}' >>"$results"
done
awk '
  NF == 6 {
    if (!($1 in time) || $2 < time[$1]) time[$1] = $2
    if (!($1 in gap) || $3 < gap[$1]) gap[$1] = $3
    if (!($1 in peak) || $4 > peak[$1]) peak[$1] = $4
    if (!($1 in ratio) || $5 < ratio[$1]) ratio[$1] = $5
    if (!(1 in shuf) || $6 < shuf[1]) shuf[1] = $6
    if (!($1 in seen)) { order[++n] = $1; seen[$1] = 1 }
  }
  NF == 2 { count[$1] = $2 }
  END {
    printf "shuf -n 10: %.1f ms (best)\n", shuf[1] * 1000
    printf "%-10s %10s %8s %10s %10s\n", "command", "time_ms", "ratio", "gap_ms", "peak_mb"
    for (i = 1; i <= n; ++i) {
      c = order[i]
      r = (c == "paste") ? "-" : sprintf("%.1f", ratio[c])
      printf "%-10s %10.1f %8s %10.1f %10.1f\n", c, time[c] * 1000, r, gap[c], peak[c]
    }
    printf "lines %s, entries %s, pasted lines %s\n", count["lines"], count["entries"], count["pasted_lines"]
  }' "$results"
