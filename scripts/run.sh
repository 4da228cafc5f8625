#!/usr/bin/env bash
# Set up, build and start くじ丸.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/setup.sh"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "くじ丸: no display found (DISPLAY and WAYLAND_DISPLAY are unset)." >&2
  echo "Start it from a desktop session, or under Xvfb: xvfb-run -a $root/build/kujimaru" >&2
  exit 1
fi
exec "$root/build/kujimaru"
