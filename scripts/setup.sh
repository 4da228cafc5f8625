#!/usr/bin/env bash
# Installs what building and testing need on Debian 12 (only what is missing), then builds
# in Release into ./build. Sourced by run.sh and test.sh.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

packages=(build-essential cmake qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-translations-l10n libgl-dev
          libgtest-dev libgmock-dev libbenchmark-dev libicu-dev libssl-dev clang-format bc fonts-ipafont xvfb xauth python3 coreutils poppler-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi

# KUJIMARU_BUILD_DIR: another build folder, for a build with other options (test.sh --sanitize).
build_dir="${KUJIMARU_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release ${KUJIMARU_CMAKE_ARGS:-} >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
