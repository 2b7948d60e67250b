#!/usr/bin/env bash
# Nevlin.exe under Wine on a virtual X server with openbox: a borderless window titled
# "Ostravel", centred and above the others on the first start; T releases and pins it while
# it has the focus; a left drag on the bare panel moves it, a quick one too; Alt+F4 ends it
# and keeps the placement in the registry, and the next start comes back there, where resting
# the pointer on it brings the details tip and a press takes it away. Leaves nevlin.png behind.
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

# T, polled while the window has the focus, releases it; a second T pins it again.
xdotool windowactivate --sync "$window" 2>/dev/null
wait_until '[ "$(xprop -root _NET_ACTIVE_WINDOW 2>/dev/null | sed "s/.*# //")" = "$(printf 0x%x "$window")" ]' 10 ||
  check "the window did not get the focus"
press_t_until() { # condition: one T, and again if a poll missed it while the focus settled
  local tries
  for tries in 1 2 3; do
    xdotool key t
    if wait_until "$1" 3; then
      [ "$tries" = 1 ] || echo "note: T was seen at press $tries"
      return 0
    fi
  done
  return 1
}
press_t_until '! above' || check "T did not release the window from the top"
press_t_until 'above' || check "a second T did not pin the window on top again"

# A left drag on the bare panel (the gap between the number and the "%") moves it. The move
# starts when the program polls its events, so the pointer wiggles by a pixel until the window
# follows it; from then on the window keeps its distance to the pointer.
read -r x0 y0 < <(origin)
px=$((x0 + 46)) py=$((y0 + 10))
xdotool mousemove --sync $px $py mousedown 1
follows() {
  local dx
  for dx in 1 0; do
    xdotool mousemove --sync $((px + dx)) "$py"
    if wait_until '[ "$(origin)" != "$x0 $y0" ]' 0.2; then
      read -r x y < <(origin)
      offset_x=$((x - px - dx)) offset_y=$((y - py))
      return 0
    fi
  done
  return 1
}
wait_until follows 20 || check "the window did not follow a left drag on the panel"
for step in 1 2 3 4 5; do xdotool mousemove --sync $((px + step * 20)) $((py + step * 10)); done
xdotool mouseup 1
target="$((px + 100 + offset_x)) $((py + 50 + offset_y))"
wait_until '[ "$(origin)" = "$target" ]' 10 || check "the drag left the window at $(origin), not $target"
read -r x y <<<"$target"
# Within the pixel of the wiggle.
((x >= x0 + 99 && x <= x0 + 101 && y == y0 + 50)) ||
  check "the window moved to $target, not with the pointer to $((x0 + 100)) $((y0 + 50))"

# A press moved at once, long before the program reads it: the window still keeps the place
# under the pointer where it was grabbed (the system's move starts from the press).
read -r x0 y0 < <(origin)
px=$((x0 + 46)) py=$((y0 + 10))
xdotool mousemove --sync $px $py mousedown 1 mousemove $((px + 150)) $((py - 60))
nudge() { # one pixel and back, until the window follows
  xdotool mousemove $((px + 151)) $((py - 60)) mousemove $((px + 150)) $((py - 60))
  [ "$(origin)" != "$x0 $y0" ]
}
wait_until nudge 20 || check "the window did not follow a quick drag"
xdotool mouseup 1
wait_until '[ "$(origin)" = "$((x0 + 150)) $((y0 - 60))" ]' 10 ||
  check "a quick drag left the window at $(origin), not $((x0 + 150)) $((y0 - 60))"

# Alt+F4 ends it and the placement is in the prefix's registry, in twips.
read -r x y < <(origin)
xdotool windowactivate --sync "$window" key alt+F4 2>/dev/null
wait_until "! kill -0 $nevlin_pid 2>/dev/null" 20 || check "Alt+F4 did not end Nevlin.exe"
wait "$nevlin_pid" || check "Nevlin.exe ended with status $?"
"$WINESERVER" -w # the registry reaches user.reg when the server shuts down
saved() {
  awk -v key="\"$1\"" '/^\[/ {inside = index($0, "[Software\\\\VB and VBA Program Settings\\\\Ostravel\\\\fNevlin Pos]") == 1}
    inside && index($0, key "=") == 1 {sub(/^[^=]*="/, ""); sub(/"$/, ""); print}' "$WINEPREFIX/user.reg"
}
for entry in "Height 630" "Width 1680" "Left $((x * 15))" "Top $((y * 15))"; do
  read -r name value <<<"$entry"
  [ "$(saved "$name")" = "$value" ] || check "\"$name\" saved as '$(saved "$name")', not $value"
done

# The next start comes back where the window was left.
start_nevlin
wait_until '[ "$(origin)" = "$x $y" ]' 10 || check "the window came back at $(origin), not $x $y"

# Resting the pointer on the window brings the details tip (a tracking tooltip) beside it,
# clear of the panel; a press takes it away.
tip() { xdotool search --onlyvisible --name '^Ostravel details$' 2>/dev/null | head -1; }
xdotool mousemove --sync 5 5 mousemove --sync $((x + 46)) $((y + 10))
if wait_until '[ -n "$(tip)" ]' 20; then
  read -r -a t <<<"$(window_geometry "$(tip)")"
  ((t[1] >= y + 42 || t[1] + t[3] <= y)) || check "the tip at ${t[*]} covers the panel at $x $y"
  xdotool click 3
  wait_until '[ -z "$(tip)" ]' 10 || check "the tip stayed after a press"
else
  check "no details tip after resting on the window"
fi
kill "$nevlin_pid" 2>/dev/null || true
