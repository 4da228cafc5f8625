#!/usr/bin/env bash
# The Pickup Record window on a generated 1,000,000-record CP932 CSV, offscreen:
#   - the load into the record list, as a ratio to `shuf -n 10` on the same file;
#   - the filter run with four conditions, as a ratio to the same test in awk (core_filter's line);
#   - Stop during each, to idle.
#   bench/pickup-vs-shuf.sh [BUILD_DIR]   (default: build; needs ui_pickup_load and ui_pickup_filter)
set -euo pipefail
source "$(dirname "$0")/timing.sh"
build="${1:-build}"
records=$(records_file /tmp/records.csv) # the file core_filter uses

shuf_s=$(best_of 5 shuf -n 10 "$records")
awk_s=$(best_of 3 sh -c "LC_ALL=C awk -F, -v RS='\r\n' '!(index(\$1,\"7\") && index(\$0,\",5\")) && \$5 ~ /^[AB][0-9][0-4][0-9]\$/ && index(\$3,\"2\")' $records")
kept_awk=$(LC_ALL=C awk -F, -v RS='\r\n' '!(index($1,"7") && index($0,",5")) && $5 ~ /^[AB][0-9][0-4][0-9]$/ && index($3,"2")' "$records" | wc -l)

load_s=$(best_figure command_to_idle_seconds "$build/bench/ui_pickup_load" "$records")
load_gap=$(best_figure longest_event_loop_gap_ms "$build/bench/ui_pickup_load" "$records")
load_stop=$("$build/bench/ui_pickup_load" "$records" --stop 2>/dev/null | awk '/stop_to_idle_ms/ {print $2}')
run_out=$("$build/bench/ui_pickup_filter" "$records" 2>/dev/null)
kept=$(echo "$run_out" | awk '/^kept/ {print $2}')
run_s=$(best_figure start_to_idle_seconds "$build/bench/ui_pickup_filter" "$records")
run_gap=$(best_figure longest_event_loop_gap_ms "$build/bench/ui_pickup_filter" "$records")
run_stop=$("$build/bench/ui_pickup_filter" "$records" --stop 2>/dev/null | awk '/stop_to_idle_ms/ {print $2}')

printf 'load 1e6 records into lvwOriginalData: %8.1f ms   shuf -n 10 %8.1f ms   ratio %.2f\n' \
  "$(echo "$load_s*1000" | bc -l)" "$(echo "$shuf_s*1000" | bc -l)" "$(echo "$load_s/$shuf_s" | bc -l)"
printf 'filter run, four conditions:           %8.1f ms   awk        %8.1f ms   ratio %.2f   (kept %s, awk %s)\n' \
  "$(echo "$run_s*1000" | bc -l)" "$(echo "$awk_s*1000" | bc -l)" "$(echo "$run_s/$awk_s" | bc -l)" "$kept" "$kept_awk"
printf 'stop during the load, to idle:         %8.1f ms   longest event-loop gap %6.1f ms\n' "$load_stop" "$load_gap"
printf 'stop during the run, to idle:          %8.1f ms   longest event-loop gap %6.1f ms\n' "$run_stop" "$run_gap"
