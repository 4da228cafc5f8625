#!/usr/bin/env bash
# Sorting 1,000,000 drawn results ascending through the window, as a ratio to
# `LC_ALL=C sort` of the same lines measured in the same run; and the time to save them.
#   bench/sort-vs-gnu.sh [BUILD_DIR]   (default: build; needs ui_sort built)
set -euo pipefail
source "$(dirname "$0")/timing.sh"
build="${1:-build}"
lines="${TMPDIR:-/tmp}/kujimaru-sorted-results.txt"
best_sort=""; best_save=""
for _ in 1 2 3; do
  out=$("$build/bench/ui_sort" "$lines" 2>/dev/null)
  best_sort=$(smaller "$best_sort" "$(echo "$out" | awk '/sort_seconds/ {print $2}')")
  best_save=$(smaller "$best_save" "$(echo "$out" | awk '/save_seconds/ {print $2}')")
done
best_gnu=$(best_of 5 env LC_ALL=C sort "$lines")
printf 'sort 1e6 results ascending through the window: %8.1f ms   LC_ALL=C sort %8.1f ms   ratio %.2f\n' \
  "$(echo "$best_sort*1000" | bc -l)" "$(echo "$best_gnu*1000" | bc -l)" "$(echo "$best_sort/$best_gnu" | bc -l)"
printf 'save those 1e6 rows:                            %8.1f ms\n' "$(echo "$best_save*1000" | bc -l)"
