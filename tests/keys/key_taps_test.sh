#!/usr/bin/env bash
# Drives the keyboard of a virtual X server with xdotool between polls of the key state and
# checks the words: a 6 ms tap, a hold, the Alt+F4 chord, either Alt, an unrelated key,
# a tap while another client's window has the focus, and T tapped at its new key code after
# the keyboard map changed (xmodmap, setxkbmap).
# Usage: run_on_xvfb.sh key_taps_test.sh PROBE
# shellcheck source=SCRIPTDIR/../harness.sh
source "$(dirname "$0")/../harness.sh"
probe=$1
# Runs on a virtual X server of its own (tests/x11/run_on_xvfb.sh sets DISPLAY).
display=$DISPLAY
require_tools xdotool xclock xmodmap setxkbmap

coproc PROBE { exec "$probe" "$display"; }
probe_pid=$!
end_at_exit "$probe_pid"

word=""
# Asks the probe for one key's word (virtual key in hex) into $word.
poll() {
  echo "$1" >&"${PROBE[1]}"
  read -r -t 5 word <&"${PROBE[0]}" || fail "no answer from the probe for key $1"
}
# expect_word WHAT KEY WORD: the probe's word for the key now.
expect_word() {
  poll "$2"
  if [ "$word" != "$3" ]; then
    check "$1: key $2 gave $word, wanted $3"
  else
    echo "ok: $1: key $2 gave $word"
  fi
}

expect_word "at rest" 54 0

xdotool keydown t sleep 0.006 keyup t
expect_word "6 ms tap of T" 54 1
expect_word "after the tap was reported" 54 0

xdotool keydown t
expect_word "T held, first poll" 54 8001
expect_word "T held, second poll" 54 8000
xdotool keyup t
expect_word "T released" 54 0

xdotool keydown alt+F4
expect_word "Alt+F4 held" 12 8001
expect_word "Alt+F4 held" 73 8001
xdotool keyup alt+F4
expect_word "Alt+F4 released" 12 0
expect_word "Alt+F4 released" 73 0

xdotool key alt+F4
expect_word "Alt+F4 typed" 12 1
expect_word "Alt+F4 typed" 73 1

xdotool keydown Alt_R
expect_word "right Alt held" 12 8001
xdotool keyup Alt_R
expect_word "right Alt released" 12 0

xdotool key a F5 shift
expect_word "other keys typed" 54 0
expect_word "other keys typed" 12 0
expect_word "other keys typed" 73 0

# Raw events reach the root whichever window has the focus.
run_bg clock xclock -geometry 100x100+10+10
if xdotool search --sync --class xclock windowfocus --sync >/dev/null 2>&1; then
  xdotool keydown t sleep 0.006 keyup t
  expect_word "6 ms tap of T into another client's focused window" 54 1
else
  check "could not focus a window of another client"
fi
kill "$LAST_PID" 2>/dev/null || true

# The keyboard map changes under the running probe: T's key codes are looked up again.
t_code=$(xmodmap -pke | awk '$4 == "t" && !found {print $2; found = 1}')
free_code=$(xmodmap -pke | awk 'NF == 3 && $2 > 200 && !found {print $2; found = 1}')
if [ -n "$t_code" ] && [ -n "$free_code" ]; then
  xmodmap -e "keycode $t_code = y Y" -e "keycode $free_code = t T"
  xdotool keydown t sleep 0.006 keyup t
  expect_word "tap of T moved by xmodmap from key code $t_code to $free_code" 54 1
  xmodmap -e "keycode $free_code =" -e "keycode $t_code = t T"
  xdotool keydown t sleep 0.006 keyup t
  expect_word "tap of T back at key code $t_code" 54 1
else
  check "no key code of T ($t_code) or no free key code ($free_code) in $(xmodmap -pke | wc -l) lines"
fi
# Dvorak puts T where the US layout has K.
if setxkbmap -layout us -variant dvorak; then
  xdotool keydown t sleep 0.006 keyup t
  expect_word "tap of T after setxkbmap dvorak" 54 1
  xdotool keydown y sleep 0.006 keyup y # now on T's old key
  expect_word "tap of Y, on T's old key after setxkbmap dvorak" 54 0
  setxkbmap -layout us
else
  check "setxkbmap could not switch to dvorak"
fi

# Its input closed, the probe ends by itself.
probe_in=${PROBE[1]}
exec {probe_in}>&-
status=0
wait "$probe_pid" || status=$?
[ "$status" -eq 0 ] || check "probe exited with $status"
