#!/usr/bin/env bash
# Builds the Debian package of くじ丸 from a clean Release build (./build-package, made anew
# each time, without tests or benchmarks) with CPack, into ./dist/kujimaru_<version>_<arch>.deb.
# Install it with: sudo apt install ./dist/kujimaru_*.deb
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/install-packages.sh"

build="$root/build-package"
dist="$root/dist"
rm -rf "$build"
# Hardened as Debian builds its own packages (fortified functions, stack protector, relocations
# made read-only at start), with dpkg-buildflags' flags less -g: the binary is stripped anyway.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags=" $(cd "$root" && dpkg-buildflags --get CPPFLAGS) $(cd "$root" && dpkg-buildflags --get CXXFLAGS) "
cxxflags="${cxxflags// -g / }"
ldflags="$(cd "$root" && dpkg-buildflags --get LDFLAGS)"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DKUJIMARU_WITH_TESTS=OFF -DKUJIMARU_WITH_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" ${KUJIMARU_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j "$(nproc)"
(cd "$build" && cpack -G DEB >/dev/null)

debs=("$build"/kujimaru_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "package.sh: CPack made ${#debs[@]} packages instead of one: ${debs[*]}" >&2
  exit 1
fi
mkdir -p "$dist"
rm -f "$dist"/kujimaru_*.deb
mv "${debs[0]}" "$dist/"
echo "$dist/$(basename "${debs[0]}")"
