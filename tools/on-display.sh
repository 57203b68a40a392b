#!/bin/sh
# Runs a command on an X display of its own: a private Xvfb on a display
# number that Xvfb picks itself (so two started at once never take the same
# one), stopped when the command ends. Tests run in parallel this way.
# Usage: tools/on-display.sh WIDTHxHEIGHT COMMAND [ARG...]
set -eu
size=$1
shift
tmp=$(mktemp -d)
mkfifo "$tmp/display"
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$tmp/display" 2>"$tmp/log" &
xvfb=$!
stop() {
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  rm -rf "$tmp"
}
trap stop EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM
number=""
read -r number <"$tmp/display" || true
if [ -z "$number" ]; then
  echo "on-display: Xvfb did not start:" >&2
  cat "$tmp/log" >&2
  exit 2
fi
status=0
DISPLAY=":$number" "$@" || status=$?
exit $status
