#!/usr/bin/env bash
# Sorting 1,000,000 drawn results ascending through the window, as a ratio to
# `LC_ALL=C sort` of the same lines measured in the same run; and the time to save them.
#   bench/sort-vs-gnu.sh [BUILD_DIR]   (default: build; needs ui_sort built)
set -euo pipefail
build="${1:-build}"
lines="${TMPDIR:-/tmp}/kujimaru-sorted-results.txt"
best_sort=""; best_save=""
for _ in 1 2 3; do
  out=$("$build/bench/ui_sort" "$lines" 2>/dev/null)
  s=$(echo "$out" | awk '/sort_seconds/ {print $2}')
  w=$(echo "$out" | awk '/save_seconds/ {print $2}')
  if [ -z "$best_sort" ] || (( $(echo "$s < $best_sort" | bc -l) )); then best_sort=$s; fi
  if [ -z "$best_save" ] || (( $(echo "$w < $best_save" | bc -l) )); then best_save=$w; fi
done
best_gnu=""
for _ in 1 2 3 4 5; do
  t0=$(date +%s.%N); LC_ALL=C sort "$lines" >/dev/null; t1=$(date +%s.%N)
  d=$(echo "$t1 - $t0" | bc -l)
  if [ -z "$best_gnu" ] || (( $(echo "$d < $best_gnu" | bc -l) )); then best_gnu=$d; fi
done
printf 'sort 1e6 results ascending through the window: %8.1f ms   LC_ALL=C sort %8.1f ms   ratio %.2f\n' \
  "$(echo "$best_sort*1000" | bc -l)" "$(echo "$best_gnu*1000" | bc -l)" "$(echo "$best_sort/$best_gnu" | bc -l)"
printf 'save those 1e6 rows:                            %8.1f ms\n' "$(echo "$best_save*1000" | bc -l)"
