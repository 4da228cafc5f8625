#!/usr/bin/env bash
# Set up, build and run every test (core and widget tests), without a display.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/setup.sh"
export QT_QPA_PLATFORM=offscreen
runtime_dir="$(mktemp -d)"
chmod 0700 "$runtime_dir"
export XDG_RUNTIME_DIR="$runtime_dir"
trap 'rm -rf "$runtime_dir"' EXIT
cd "$root/build"
ctest --output-on-failure -j "$(nproc)"
