#!/usr/bin/env bash
# Set up, build and run every test: core and widget tests without a display, and the
# real-display tests, each suite on a private Xvfb of its own without a window manager
# (tests/x11/run-on-xvfb.sh), so no desktop is needed.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# The program's own code builds without a single warning.
KUJIMARU_CMAKE_ARGS="-DKUJIMARU_WERROR=ON"
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
cd "$root/build"
ctest --output-on-failure -j "$(nproc)"
