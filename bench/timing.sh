# Helpers of the benchmark scripts; sourced, not run.

# The generated 1,000,000-record CP932 CSV the figures are measured on, made once.
records_file() {
  local path="${1:-${TMPDIR:-/tmp}/kujimaru-records-1m.csv}"
  local here
  here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
  [ -f "$path" ] || python3 "$here/../../shared/bench/make-records" 1000000 "$path"
  echo "$path"
}

# The smaller of two numbers; an empty first one counts as none yet.
smaller() {
  if [ -z "$1" ] || (( $(echo "$2 < $1" | bc -l) )); then echo "$2"; else echo "$1"; fi
}

# Best wall time of several runs of a command, in seconds.
best_of() {
  local runs=$1; shift
  local best=""
  for _ in $(seq "$runs"); do
    local t0 t1
    t0=$(date +%s.%N); "$@" >/dev/null 2>&1; t1=$(date +%s.%N)
    best=$(smaller "$best" "$(echo "$t1 - $t0" | bc -l)")
  done
  echo "$best"
}

# Best of three runs of a window benchmark, by the figure it prints under key.
best_figure() {
  local key=$1; shift
  local best=""
  for _ in 1 2 3; do
    best=$(smaller "$best" "$("$@" 2>/dev/null | awk -v k="$key" '$1 == k {print $2}')")
  done
  echo "$best"
}

# Milliseconds from seconds, and a ratio, for printf.
ms() { echo "$1*1000" | bc -l; }
ratio() { echo "$1/$2" | bc -l; }
