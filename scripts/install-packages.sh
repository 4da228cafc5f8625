#!/usr/bin/env bash
# Installs with apt-get what building, testing and packaging need on Debian 12, only what is
# missing. Sourced by setup.sh and package.sh. Xvfb and the XTest library serve the
# real-display tests; rsvg-convert renders the icon's PNG sizes; desktop-file-validate,
# appstreamcli and man check the menu entry, the software-centre metadata and the manual page;
# dpkg-shlibdeps (dpkg-dev) and file let CPack find the package's library dependencies.
# A script that needs other packages sets KUJIMARU_PACKAGES (an array) before sourcing it.
set -euo pipefail

default_packages=(build-essential cmake qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-translations-l10n libgl-dev
          libgtest-dev libgmock-dev libbenchmark-dev libicu-dev libssl-dev clang-format bc fonts-ipafont xvfb xauth python3 coreutils poppler-utils
          libxtst-dev
          librsvg2-bin desktop-file-utils appstream man-db dpkg-dev file gzip)
if [ -n "${KUJIMARU_PACKAGES+set}" ]; then
  packages=("${KUJIMARU_PACKAGES[@]}")
else
  packages=("${default_packages[@]}")
fi
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
