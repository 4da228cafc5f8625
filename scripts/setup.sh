#!/usr/bin/env bash
# Installs what building and testing need on Debian 12 (only what is missing, through
# install-packages.sh), then builds in Release into ./build. Sourced by run.sh and test.sh.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/install-packages.sh"

cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release ${KUJIMARU_CMAKE_ARGS:-} >/dev/null
cmake --build "$root/build" -j "$(nproc)"
