#!/usr/bin/env bash
# nevlin on a virtual X server with openbox, fed by fixture power-supply trees: the window's
# name, size and frame, its colours and picture in each power state read back from the
# pixels, the display following the fixture from turn to turn, a vanished fixture ending the
# program without settings, turns without a change sending the X server nothing, and a lost
# X connection ending the program with status 1.
# Usage: display_test.sh NEVLIN ARTDIR SCREENSHOTDIR
# shellcheck source=SCRIPTDIR/../x_session.sh
source "$(dirname "$0")/../x_session.sh"
nevlin=$1 art=$2 shots=$3
mkdir -p "$shots"
start_x openbox
# Label1 (the number) and Label3 (the state) in the window's design at 96 dpi: X Y WIDTH HEIGHT.
NUMBER_AREA=(7 3 37 20)
STATE_AREA=(6 24 68 13)

power=$SCRATCH/power
export XDG_CONFIG_HOME=$SCRATCH/config OSTRAVEL_POWER_SUPPLY_DIR=$power
fixture "$power" charging39
run_bg nevlin "$nevlin"
pid=$LAST_PID
id=$(ostravel_window)

note "what the desktop sees"
expect "WM_NAME" "$(xprop -id "$id" -notype WM_NAME | cut -d'"' -f2)" Ostravel
expect "_NET_WM_NAME" "$(xprop -id "$id" -notype _NET_WM_NAME | cut -d'"' -f2)" Ostravel
expect "WM_CLASS" "$(xprop -id "$id" -notype WM_CLASS | sed 's/.*= //')" '"nevlin", "Ostravel"'
expect "size" "$(window_geometry "$id" | cut -d' ' -f3-)" "112 42"
expect "frame extents" "$(xprop -id "$id" -notype _NET_FRAME_EXTENTS | sed 's/.*= //')" "0, 0, 0, 0"
expect "decorations" "$(xprop -id "$id" -notype _MOTIF_WM_HINTS | sed 's/.*= //' | cut -d, -f3)" " 0x0"
xprop -id "$id" WM_PROTOCOLS | grep -q WM_DELETE_WINDOW || fail "WM_DELETE_WINDOW not in WM_PROTOCOLS"
xprop -id "$id" _NET_WM_ICON | grep -q 'Icon (32 x 32)' || fail "no 32 x 32 icon"
xprop -id "$id" _NET_WM_ICON | grep -q 'Icon (16 x 16)' || fail "no 16 x 16 icon"
xprop -id "$id" WM_NORMAL_HINTS | grep -q 'minimum size: 112 by 42' || fail "size not fixed"
xprop -id "$id" WM_NORMAL_HINTS | grep -q 'maximum size: 112 by 42' || fail "size not fixed"

# shows STATE NUMBER COLOUR PICTURE: after the next turns the window shows that state.
shows() {
  local state=$1 number_colour=$3 picture=$4 shot="$shots/$1.png"
  # Every state differs from the one before it; a turn comes every 300 ms: wait for the
  # state's picture.
  for _ in $(seq 30); do
    snapshot "$id" "$shot"
    if [ -z "$previous_shot" ] || [ "$(compare -metric AE "$previous_shot" "$shot" null: 2>&1)" != 0 ]; then
      [ "$(picture_shown "$shot" "$art")" = "$picture" ] && break
    fi
    sleep 0.1
  done
  previous_shot=$shot
  note "state $state ($2 %)"
  expect "$state: picture" "$(picture_shown "$shot" "$art")" "$picture"
  local digits percent_sign
  digits=$(count_colour "$shot" "${NUMBER_AREA[@]}" "$number_colour")
  percent_sign=$(count_colour "$shot" 48 3 19 20 "$number_colour")
  [ "$digits" -gt 20 ] || fail "$state: only $digits digit pixels of #$number_colour"
  [ "$percent_sign" -gt 10 ] || fail "$state: only $percent_sign '%' pixels of #$number_colour"
  # Dark red letters, and nothing of them outside their one-line label.
  [ "$(count_colour "$shot" "${STATE_AREA[@]}" 800000 3)" -gt 3 ] || fail "$state: no dark-red state text"
  expect "$state: panel" "$(pixel "$shot" 46 12)" E0E0E0
  expect "$state: panel below the text" "$(pixel "$shot" 40 38)" E0E0E0
  expect "$state: frame corner" "$(pixel "$shot" 0 0)" 0000C0
  expect "$state: frame, inner column" "$(pixel "$shot" 1 20)" 0000C0
  expect "$state: frame, right edge" "$(pixel "$shot" 110 20)" 0000C0
  expect "$state: frame, bottom edge" "$(pixel "$shot" 50 41)" 0000C0
  expect "$state: inside the frame" "$(pixel "$shot" 2 20)" E0E0E0
}

previous_shot=""
# Each state; the fixture changes under the running program between turns.
shows charging 39 FF0000 charging
fixture "$power" mains40
shows mains 40 FF00FF mains
fixture "$power" battery66_timed
shows battery_time_left 66 0000FF battery
fixture "$power" battery_unknown
shows battery_unknown 255 0000FF battery

note "turns that change nothing send the X server nothing"
requests=$SCRATCH/requests
: >"$requests"
strace -qq -e trace=writev,write,sendmsg,clock_nanosleep,nanosleep -s 8 -o "$requests" -p "$pid" 2>/dev/null &
tracer=$!
turns() { grep -c 'nanosleep(' "$requests" || true; } # one pause after each turn
# Five turns traced, however long a loaded machine takes for them.
traced() { [ "$(turns)" -ge 6 ] || ! kill -0 "$tracer" 2>/dev/null; }
if wait_until traced 30 && [ "$(turns)" -ge 6 ]; then
  kill "$tracer" 2>/dev/null || true
  wait "$tracer" 2>/dev/null || true
  expect "requests over $(($(turns) - 1)) turns" "$(grep -c -E '^(writev|write|sendmsg)\(' "$requests" || true)" 0
elif ! kill -0 "$tracer" 2>/dev/null && [ ! -s "$requests" ]; then
  note "strace cannot attach here: skipped"
else
  fail "only $(turns) turns in 30 s"
fi

two_windows() { [ "$(xdotool search --onlyvisible --name '^Ostravel$' | wc -l)" -ge 2 ]; }
note "SIGTERM and SIGINT end the program cleanly, without saving"
for signal in TERM INT; do
  run_bg "nevlin_$signal" "$nevlin"
  stopped=$LAST_PID
  wait_for "a second window" two_windows
  kill -s "$signal" "$stopped"
  status=0
  timeout 5 tail --pid="$stopped" -f /dev/null || fail "nevlin still running after SIG$signal"
  wait "$stopped" || status=$?
  expect "exit status after SIG$signal" "$status" 0
done
[ -z "$(ls -A "$XDG_CONFIG_HOME" 2>/dev/null)" ] || fail "settings written: $(find "$XDG_CONFIG_HOME")"

note "a vanished power-supply tree ends the program with status 1 and saves nothing"
rm -rf "$power"
status=0
timeout 5 tail --pid="$pid" -f /dev/null || fail "nevlin still running without its power supply"
wait "$pid" || status=$?
expect "exit status" "$status" 1
[ -z "$(ls -A "$XDG_CONFIG_HOME" 2>/dev/null)" ] || fail "settings written: $(find "$XDG_CONFIG_HOME")"

note "a lost X connection ends the program with a message and status 1"
fixture "$power" mains40
run_bg nevlin2 "$nevlin"
pid=$LAST_PID
ostravel_window >/dev/null
kill "$X_SERVER_PID"
status=0
timeout 5 tail --pid="$pid" -f /dev/null || fail "nevlin still running without its X server"
wait "$pid" || status=$?
expect "exit status" "$status" 1
grep -q "lost the connection to the X display" "$SCRATCH/nevlin2.err" ||
  fail "no message: $(cat "$SCRATCH/nevlin2.err")"
echo "PASS (screenshots in $shots)"
