#!/usr/bin/env bash
# validate.sh desktop|metainfo|man FILE: checks an installed file with the desktop's own
# tool and fails on any error or warning it reports, since some of them exit 0 with warnings
# (man always does). Exits 77 (skipped) when the tool is not installed.
set -uo pipefail
kind="$1"
file="$2"
case "$kind" in
  desktop) tool=desktop-file-validate ;;
  metainfo) tool=appstreamcli ;;
  man) tool=man ;;
  *) echo "validate.sh: unknown kind $kind" >&2; exit 2 ;;
esac
if ! command -v "$tool" >/dev/null; then
  echo "$tool is not installed: skipped"
  exit 77
fi
[ -f "$file" ] || { echo "no such file: $file"; exit 1; }

case "$kind" in
  desktop)
    # Prints nothing at all for a clean entry: errors, warnings and hints alike fail.
    report="$(desktop-file-validate "$file" 2>&1)"
    status=$?
    ;;
  metainfo)
    # The file alone, then the whole installation it sits in (PREFIX/share/metainfo/FILE), which
    # also finds the menu entry it launches and the icons.
    report="$(appstreamcli validate --no-net --pedantic "$file" 2>&1)"
    status=$?
    tree="$(appstreamcli validate-tree --no-net --pedantic "$(dirname "$file")/../.." 2>&1)"
    tree_status=$?
    [ "$status" -ne 0 ] || status=$tree_status
    report="$report"$'\n'"$tree"
    echo "$report"
    # Errors (E:) and warnings (W:) fail; infos and pedantic notes are shown only.
    report="$(grep -E '^[[:space:]]*[EW]: ' <<<"$report")"
    ;;
  man)
    # Every groff warning, on the rendered page of a UTF-8 terminal 80 columns wide. man's
    # sandbox cannot start in some containers and chroots, and its complaint is no page's fault.
    report="$(LC_ALL=C.UTF-8 MANWIDTH=80 MAN_DISABLE_SECCOMP=1 man --warnings=w -l "$file" 2>&1 >/dev/null)"
    status=$?
    ;;
esac
if [ -n "$report" ] || [ "$status" -ne 0 ]; then
  echo "$report"
  echo "$tool reports problems in $file (exit status $status)"
  exit 1
fi
echo "$tool: $file is clean"
