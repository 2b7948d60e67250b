#!/usr/bin/env bash
# Nevlin.exe under Wine on a virtual X server with openbox: a borderless window titled
# "Ostravel", centred and above the others on the first start; T releases and pins it while
# it has the focus; a left drag on the bare panel moves it; Alt+F4 ends it and keeps the
# placement in the registry, and the next start comes back there, where resting the pointer on
# it brings the details tip and a quick drag (whose press takes the tip away) moves it. Leaves
# nevlin.png behind.
# shellcheck source=SCRIPTDIR/wine_prefix.sh
source "$(dirname "$0")/wine_prefix.sh"
require_cross_build "$NEVLIN_EXE"
require_tools xdotool xwininfo import convert

fresh_test_dir
start_x openbox
start_wine

nevlin_pid=
window=
start_nevlin() {
  "$WINE64" "$NEVLIN_EXE" >>"$WINE_TEST_DIR/nevlin.log" 2>&1 &
  nevlin_pid=$!
  end_at_exit "$nevlin_pid"
  window=
  wait_until 'window=$(xdotool search --onlyvisible --name "^Ostravel$" 2>/dev/null | head -1); [ -n "$window" ]' 60 ||
    { cat "$WINE_TEST_DIR/nevlin.log" >&2; fail "no window titled Ostravel appeared"; }
}
origin() { window_geometry "$window" | cut -d' ' -f1-2; }
size() { window_geometry "$window" | cut -d' ' -f3-4; }
above() { xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE; }
shot=$WINE_TEST_DIR/nevlin.png

# First start: nothing saved, so the design size centred on the 1024 x 768 screen.
start_nevlin
wait_until above 10 || check "the window is not above the others at start"
[ "$(size)" = "112 42" ] || check "the window is $(size), not 112 42"
wait_until '[ "$(origin)" = "456 363" ]' 10 || check "the window is at $(origin), not centred at 456 363"
xprop -id "$window" _NET_FRAME_EXTENTS | grep -q '= 0, 0, 0, 0' || check "the window has a frame: $(xprop -id "$window" _NET_FRAME_EXTENTS)"
xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || check "the window has a taskbar button"
[ "$(xprop -id "$window" WM_NAME)" = 'WM_NAME(STRING) = "Ostravel"' ] || check "the title is $(xprop -id "$window" WM_NAME)"

read -r x y < <(origin)
painted() {
  import -window root -crop "112x42+$x+$y" +repage "$shot" && [ "$(pixel "$shot" 0 0)" = 0000C0 ]
}
wait_until painted 20 || true
[ "$(pixel "$shot" 0 0)" = 0000C0 ] || check "the frame is $(pixel "$shot" 0 0), not dark blue 0000C0"
[ "$(pixel "$shot" 46 10)" = E0E0E0 ] || check "the panel is $(pixel "$shot" 46 10), not light grey E0E0E0"
echo "screenshot: $shot"

# T, polled while the window has the focus, releases it; a second T pins it again. The
# manager names the active window before the keyboard's focus reaches it: the keys wait for
# the focus itself.
xdotool windowactivate --sync "$window" 2>/dev/null
wait_until '[ "$(xdotool getwindowfocus 2>/dev/null)" = "$window" ]' 10 || check "the window did not get the keyboard focus"
xdotool key t
wait_until '! above' 10 || check "T did not release the window from the top"
xdotool key t
wait_until 'above' 10 || check "a second T did not pin the window on top again"

# Drags on the bare panel (the gap between the number and the "%"). The program reads a press
# at its next turn; the details tip, shown while the pointer rests on the panel, goes at that
# moment, which tells the test that the hand may go on as a user's does. After a press the tip
# comes back only once the program has seen the pointer leave, so each run drags once.
tip() { xdotool search --onlyvisible --name '^Ostravel details$' 2>/dev/null | head -1; }
rest_on_panel() { # sets x0 y0 (the window) and px py (the pointer); waits for the tip
  read -r x0 y0 < <(origin)
  px=$((x0 + 46)) py=$((y0 + 10))
  xdotool mousemove --sync 5 5 mousemove --sync $px $py
  wait_until '[ -n "$(tip)" ]' 20 || fail "no details tip while the pointer rested on the window"
}
press_read() { wait_until '[ -z "$(tip)" ]' 20 || fail "the program did not read the press"; }
move_slowly() { # dx dy: ten steps a tenth of a second apart, from the pointer's place
  local step x y
  read -r x y < <(xdotool getmouselocation | sed 's/x:\([0-9-]*\) y:\([0-9-]*\).*/\1 \2/')
  for step in 1 2 3 4 5 6 7 8 9 10; do
    xdotool mousemove --sync $((x + $1 * step / 10)) $((y + $2 * step / 10))
    sleep 0.1
  done
}

# A slow left drag: the window keeps its distance to the pointer.
rest_on_panel
xdotool mousedown 1
press_read
move_slowly 100 50
xdotool mouseup 1
wait_until '[ "$(origin)" = "$((x0 + 100)) $((y0 + 50))" ]' 10 ||
  check "a slow drag left the window at $(origin), not $((x0 + 100)) $((y0 + 50))"

# Alt+F4 ends it and the placement is in the prefix's registry, in twips.
read -r x y < <(origin)
xdotool windowactivate --sync "$window" key alt+F4 2>/dev/null
wait_until "! kill -0 $nevlin_pid 2>/dev/null" 20 || check "Alt+F4 did not end Nevlin.exe"
wait "$nevlin_pid" || check "Nevlin.exe ended with status $?"
expect_values 'HKCU\Software\VB and VBA Program Settings\Ostravel\fNevlin Pos' \
  Height 630 Width 1680 Left $((x * 15)) Top $((y * 15))

# The next start comes back where the window was left.
start_nevlin
wait_until '[ "$(origin)" = "$x $y" ]' 10 || check "the window came back at $(origin), not $x $y"

# Resting the pointer on the window brings the details tip (a tracking tooltip) beside it,
# clear of the panel. A quick drag: the hand moves at once, before the program reads the press
# (which takes the tip away), then on; the motion made before the press was read counts too.
rest_on_panel
read -r -a t <<<"$(window_geometry "$(tip)")"
((t[1] >= y0 + 42 || t[1] + t[3] <= y0)) || check "the tip at ${t[*]} covers the panel at $x0 $y0"
xdotool mousedown 1 mousemove $((px + 150)) $((py - 60))
press_read
move_slowly 10 0
xdotool mouseup 1
wait_until '[ "$(origin)" = "$((x0 + 160)) $((y0 - 60))" ]' 10 ||
  check "a quick drag left the window at $(origin), not $((x0 + 160)) $((y0 - 60))"
kill "$nevlin_pid" 2>/dev/null || true
