#!/usr/bin/env bash
# Runs a command on a private X server (Xvfb) without a window manager, as a desktop without
# one would: the server picks a free display itself (-displayfd), so several runs can start
# at once. Exits 77 (skipped) only when Xvfb is not installed at all.
set -euo pipefail
if ! command -v Xvfb >/dev/null 2>&1; then
  echo "Xvfb is not installed: the real-display tests are skipped (scripts/setup.sh installs it)." >&2
  exit 77
fi
work="$(mktemp -d)"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
server=$!
cleanup() {
  kill "$server" 2>/dev/null || true
  wait "$server" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 1 200); do
  [ -s "$work/display" ] && break
  if ! kill -0 "$server" 2>/dev/null; then
    echo "Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
  fi
  sleep 0.05
done
if [ ! -s "$work/display" ]; then
  echo "Xvfb gave no display within 10 seconds" >&2
  exit 1
fi
export DISPLAY=":$(head -n 1 "$work/display")"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
"$@"
