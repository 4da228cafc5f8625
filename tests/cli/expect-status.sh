#!/usr/bin/env bash
# Runs a command and passes only when it exits with exactly the status expected and prints
# nothing a terminal would obey (no control character but the line feed), on either stream.
# With a pattern, standard output must also start with it.
#   expect-status.sh STATUS PATTERN COMMAND [ARGS...]   (PATTERN may be empty)
set -u
expected="$1"
pattern="$2"
shift 2
out="$(mktemp)"
err="$(mktemp)"
trap 'rm -f "$out" "$err"' EXIT
"$@" >"$out" 2>"$err"
status=$?
cat "$out" "$err"
if [ "$status" -ne "$expected" ]; then
  echo "exit status $status, expected $expected" >&2
  exit 1
fi
if LC_ALL=C grep -q -P '[\x00-\x09\x0B-\x1F\x7F]' "$out" "$err"; then
  echo "the output holds a control character" >&2
  exit 1
fi
if [ -n "$pattern" ] && ! head -n 1 "$out" | grep -q -- "$pattern"; then
  echo "standard output does not start with $pattern" >&2
  exit 1
fi
