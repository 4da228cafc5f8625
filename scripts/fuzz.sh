#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer
# in build-fuzz/, then runs each for SECONDS (default 60), one after another.
#
#   scripts/fuzz.sh [SECONDS] [TARGET ...]     targets: the folders of tests/fuzz (all by default)
#
# Each target starts from its seeds and its kept regressions (tests/fuzz/<target>/) and grows
# its corpus in build-fuzz/corpus/<target>/. A finding (a crash, a broken promise, a sanitizer
# report, a leak, a hang of 10 s) is kept in build-fuzz/findings/<target>/; the script names
# it, and its last lines say how to reproduce it. Copy a reproducer into
# tests/fuzz/<target>/regressions/ so that scripts/test.sh runs it from then on.
# The exit status is 1 when any target found something.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
shift $(( $# > 0 ? 1 : 0 ))
all_targets=(entry-file record-file condition-file draw-record entries-copy commitment-text settings-file text-codec
             phrase-pattern)
targets=("${all_targets[@]}")
[ $# -gt 0 ] && targets=("$@")
out="$root/build-fuzz"

KUJIMARU_PACKAGES=(build-essential cmake clang libclang-rt-14-dev libicu-dev libssl-dev)
source "$root/scripts/install-packages.sh"

cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DKUJIMARU_FUZZ=ON -DKUJIMARU_WITH_UI=OFF -DKUJIMARU_WITH_BENCH=OFF >/dev/null
cmake --build "$out" -j "$(nproc)" --target "${targets[@]/#/fuzz-}"

# Stop at the first report, with the stack of the code that made it.
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:symbolize=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
status=0
summary=()
for target in "${targets[@]}"; do
  [ -d "$root/tests/fuzz/$target" ] || { echo "No fuzz target $target" >&2; exit 2; }
  corpus="$out/corpus/$target"
  findings="$out/findings/$target"
  log="$out/logs/$target.log"
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  for kept in seeds regressions; do
    [ -d "$root/tests/fuzz/$target/$kept" ] && cp -n "$root/tests/fuzz/$target/$kept"/* "$corpus"/ 2>/dev/null || true
  done
  # The matcher is held to its time limit on inputs up to 64 KiB; the other readers find
  # their faults in smaller files faster.
  max_len=8192
  [ "$target" = phrase-pattern ] && max_len=65536
  echo "== $target: ${seconds} s"
  before=$(find "$findings" -type f | wc -l)
  set +e
  "$out/tests/fuzz/fuzz-$target" "$corpus" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
    -artifact_prefix="$findings/" -print_final_stats=1 >"$log" 2>&1
  result=$?
  set -e
  rate=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
  size=$(find "$corpus" -type f | wc -l)
  if [ "$result" -ne 0 ] || [ "$(find "$findings" -type f | wc -l)" -gt "$before" ]; then
    status=1
    reproducer=$(ls -t "$findings"/* 2>/dev/null | head -n 1)
    echo "$target FOUND: $(grep -m1 -E 'SUMMARY|promise broken|ERROR: libFuzzer' "$log" || echo "exit status $result")"
    echo "  reproducer: $reproducer"
    echo "  again:      $out/tests/fuzz/fuzz-$target $reproducer"
    echo "  log:        $log"
    summary+=("$target: FOUND after ${rate:-?} exec/s, corpus $size")
  else
    summary+=("$target: nothing found, ${rate:-?} exec/s, corpus $size")
  fi
done
echo
printf '%s\n' "${summary[@]}"
exit "$status"
