#!/usr/bin/env bash
# Every command at a million rows, offscreen: the time from the command to the idle state, the
# longest gap between two turns of the event loop (how long a click or a repaint waits at
# worst; the rule is 100 ms), and a ratio to a GNU tool doing the like where one compares.
#   bench/gaps.sh [BUILD_DIR]   (default: build; needs ui_gaps and kujimaru built)
set -euo pipefail
source "$(dirname "$0")/timing.sh"
build="${1:-build}"
records=$(records_file /tmp/records.csv)
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
seq 1000000 | shuf --random-source=<(yes) > "$work/numbers.txt"

shuf_s=$(best_of 5 shuf -n 10 "$records")
draw_s=$(best_of 3 shuf -i 1-1000000 -n 1000000)
sort_s=$(best_of 3 sh -c "LC_ALL=C sort '$work/numbers.txt' > /dev/null")
awk_s=$(best_of 3 sh -c "LC_ALL=C awk -F, -v RS='\r\n' '!index(\$1,\"zzz\")' '$records' > /dev/null")

QT_QPA_PLATFORM=offscreen "$build/bench/ui_gaps" "$records" "$work/record.txt" 2>/dev/null > "$work/gaps.txt"
verify_s=$(best_of 3 "$build/kujimaru" --verify "$work/record.txt")

reference() {
  case "$1" in
    "main: read" | "pickup: load" | "newstring: open") echo "$shuf_s shuf-n10" ;;
    "main: Start") echo "$draw_s shuf-i" ;;
    "main: sort ascending" | "main: sort descending" | "main: sort draw order") echo "$sort_s sort" ;;
    "pickup: filter run") echo "$awk_s awk" ;;
    *) echo "" ;;
  esac
}

printf '%-28s %10s %12s   %s\n' command "time ms" "longest gap" "ratio"
worst=0
while read -r line; do
  name=$(echo "$line" | sed -E 's/ +[0-9.]+ +[0-9.]+$//')
  seconds=$(echo "$line" | awk '{print $(NF-1)}')
  gap=$(echo "$line" | awk '{print $NF}')
  [[ "$seconds" =~ ^[0-9.]+$ ]] || continue
  ref=$(reference "$name")
  ratio=""
  if [ -n "$ref" ]; then
    ratio=$(printf '%.2f x %s' "$(ratio "$seconds" "${ref% *}")" "${ref#* }")
  fi
  printf '%-28s %10.1f %9.1f ms   %s\n' "$name" "$(ms "$seconds")" "$gap" "$ratio"
  (( $(echo "$gap > $worst" | bc -l) )) && worst=$gap
done < "$work/gaps.txt"
printf '%-28s %10.1f %12s   (time only, from the shell)\n' "--verify of that draw" "$(ms "$verify_s")" "-"
printf 'longest gap of all: %.1f ms\n' "$worst"
