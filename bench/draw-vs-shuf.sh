#!/usr/bin/env bash
# Draw figures as ratios to GNU shuf measured in the same run.
#   bench/draw-vs-shuf.sh [BUILD_DIR]   (default: build; needs core_draw and ui_draw built)
set -euo pipefail
source "$(dirname "$0")/timing.sh"
build="${1:-build}"
shuf_dense=$(best_of 5 shuf -i 1-1000000 -n 1000000)
shuf_sparse=$(best_of 5 shuf -i 1-999999999 -n 1000000)
core=$("$build/bench/core_draw" --benchmark_format=csv 2>/dev/null | grep BM_Draw)
core_dense=$(echo "$core" | grep Dense | cut -d, -f3)    # real_time, ms
core_sparse=$(echo "$core" | grep Sparse | cut -d, -f3)
ui_best=""
ui_rss=""
for _ in 1 2 3; do
  out=$("$build/bench/ui_draw" 1000000)
  ui_best=$(smaller "$ui_best" "$(echo "$out" | awk '/start_to_idle_seconds/ {print $2}')")
  ui_rss=$(echo "$out" | awk '/peak_rss_mb/ {print $2}')
done
printf '(a) core 1e6 distinct of 1..1e6:      %8.1f ms   shuf %8.1f ms   ratio %.2f\n' \
  "$core_dense" "$(echo "$shuf_dense*1000" | bc -l)" "$(echo "$core_dense/($shuf_dense*1000)" | bc -l)"
printf '(b) core 1e6 distinct of 1..999999999: %8.1f ms   shuf %8.1f ms   ratio %.2f\n' \
  "$core_sparse" "$(echo "$shuf_sparse*1000" | bc -l)" "$(echo "$core_sparse/($shuf_sparse*1000)" | bc -l)"
printf '(c) Start to idle, 1e6 values:        %8.1f ms   shuf %8.1f ms   ratio %.2f\n' \
  "$(echo "$ui_best*1000" | bc -l)" "$(echo "$shuf_dense*1000" | bc -l)" "$(echo "$ui_best/$shuf_dense" | bc -l)"
printf '(d) peak memory after (c):            %8.1f MB\n' "$ui_rss"
stop=$("$build/bench/ui_draw" 10000000 999999999 --stop | awk '/stop_to_idle_ms/ {print $2}')
printf '(e) Stop 100 ms into a 1e7-value draw, to idle: %8.1f ms\n' "$stop"
