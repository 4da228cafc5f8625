#!/usr/bin/env bash
# Installs what building and testing need on Debian 12 (only what is missing, through
# install-packages.sh), then builds in Release into ./build. Sourced by run.sh and test.sh.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/install-packages.sh"

# KUJIMARU_BUILD_DIR: another build folder, for a build with other options (test.sh --sanitize).
build_dir="${KUJIMARU_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release ${KUJIMARU_CMAKE_ARGS:-} >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
