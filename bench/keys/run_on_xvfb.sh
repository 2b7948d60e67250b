#!/usr/bin/env bash
# Runs a program on a fresh virtual X server of its own: run_on_xvfb.sh PROGRAM [ARGS...]
set -uo pipefail
work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 200); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.05
done
if [ ! -s "$work/display" ]; then
  echo "Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1
fi
DISPLAY=":$(head -n1 "$work/display")" "$@"
