#!/usr/bin/env bash
# Set up, build and run every test: core and widget tests without a display, and the
# real-display tests, each suite on a private Xvfb of its own without a window manager
# (tests/x11/run-on-xvfb.sh), so no desktop is needed.
#   --sanitize  the same tests built with AddressSanitizer and UndefinedBehaviorSanitizer in
#               build-sanitize/, stopping at the first report; a leak is a failure too, except
#               those tests/sanitize/lsan.supp names (each with its reason)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# The program's own code builds without a single warning.
KUJIMARU_CMAKE_ARGS="-DKUJIMARU_WERROR=ON"
if [ "${1:-}" = "--sanitize" ]; then
  KUJIMARU_BUILD_DIR="$root/build-sanitize"
  KUJIMARU_CMAKE_ARGS="$KUJIMARU_CMAKE_ARGS -DKUJIMARU_SANITIZE=ON -DKUJIMARU_WITH_BENCH=OFF"
  export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1"
  export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
  export LSAN_OPTIONS="suppressions=$root/tests/sanitize/lsan.supp:print_suppressions=0"
fi
source "$root/scripts/setup.sh"
# Every source keeps the project's format.
(cd "$root" && find src tests bench \( -name '*.cpp' -o -name '*.h' \) -print0 \
  | xargs -0 clang-format --dry-run --Werror) || {
  echo "Sources drift from .clang-format: run clang-format -i on the files above." >&2
  exit 1
}
export QT_QPA_PLATFORM=offscreen
runtime_dir="$(mktemp -d)"
chmod 0700 "$runtime_dir"
export XDG_RUNTIME_DIR="$runtime_dir"
trap 'rm -rf "$runtime_dir"' EXIT
cd "$build_dir"
ctest --output-on-failure -j "$(nproc)"
