#!/usr/bin/env bash
# nevlin under openbox: the states it maps with, staying above an activated window, T
# flipping the on-top state while another window has the focus, also after xmodmap moved it, Alt or F4 alone doing nothing,
# the manager's move for left
# and middle drags on the bare panel, none for a right drag, a drag from the number or a
# quick click, a drag moved (or even released) before the program reads its press ending
# where the pointer is relative to the grab point, the manager's close keeping the placement for the next start, and a minimised
# window closed by the chord saving nothing, and centring in the space a panel leaves free.
# Usage: window_manager_test.sh NEVLIN ARTDIR SCREENSHOTDIR
# shellcheck source=SCRIPTDIR/../x_session.sh
source "$(dirname "$0")/../x_session.sh"
# shellcheck disable=SC2034 # ART: the pictures, which turns_seen looks for
nevlin=$1 ART=$2
require_tools xmodmap
start_x openbox

power=$SCRATCH/power
export XDG_CONFIG_HOME=$SCRATCH/config OSTRAVEL_POWER_SUPPLY_DIR=$power
fixture "$power" mains40
run_bg nevlin "$nevlin"
pid=$LAST_PID
id=$(ostravel_window)

states() { xprop -id "$id" -notype _NET_WM_STATE | sed 's/.*= //'; }
has_state() { states | grep -q "_NET_WM_STATE_$1"; }
lacks_state() { ! has_state "$1"; }

note "mapped pinned, with no taskbar or pager entry"
wait_for "the manager's states" has_state ABOVE
has_state SKIP_TASKBAR || fail "no SKIP_TASKBAR: $(states)"
has_state SKIP_PAGER || fail "no SKIP_PAGER: $(states)"
expect "centred on the screen" "$(window_geometry "$id")" "456 363 112 42"

note "stays above a normal window that is activated over it"
run_bg other xlogo -geometry 300x200+400+300
other=$(timeout 10 xdotool search --sync --onlyvisible --name '^xlogo$' | head -n 1)
xdotool windowactivate --sync "$other"
wait_until 'on_top_at "$id"' 10 || fail "covered by the activated window"

note "T typed into the other window flips the on-top state, twice"
xdotool key --clearmodifiers t
wait_for "ABOVE to go" lacks_state ABOVE
has_state SKIP_TASKBAR || fail "SKIP_TASKBAR lost with ABOVE: $(states)"
xdotool key --clearmodifiers t
wait_for "ABOVE to come back" has_state ABOVE
has_state SKIP_PAGER || fail "SKIP_PAGER lost: $(states)"

note "T moved to another key code by xmodmap still flips it"
t_code=$(xmodmap -pke | awk '$4 == "t" && !found {print $2; found = 1}')
free_code=$(xmodmap -pke | awk 'NF == 3 && $2 > 200 && !found {print $2; found = 1}')
[[ -n $t_code && -n $free_code ]] || fail "no key code of T ('$t_code') or no free one ('$free_code')"
xmodmap -e "keycode $t_code = y Y" -e "keycode $free_code = t T"
xdotool key --clearmodifiers t
wait_for "ABOVE to go after the remap" lacks_state ABOVE
xmodmap -e "keycode $free_code =" -e "keycode $t_code = t T"
xdotool key --clearmodifiers t
wait_for "ABOVE to come back after the map is restored" has_state ABOVE

note "Alt alone and F4 alone, held across turns in the other window, do nothing"
for key in alt F4; do
  xdotool keydown "$key"
  turns_seen "$id"
  xdotool keyup "$key"
  turns_seen "$id"
  kill -0 "$pid" 2>/dev/null || fail "nevlin ended after $key alone"
done
has_state ABOVE || fail "the on-top state changed: $(states)"
kill "$LAST_PID"

note "drags"
before=$(window_geometry "$id")
drag "$id" 1 60 -40 46 12 # the gap between the number and the "%"
moved_by "left drag on the bare panel" "$id" "$before" 60 -40
before=$(window_geometry "$id")
drag "$id" 2 -30 25 100 40 # along the frame
moved_by "middle drag on the frame" "$id" "$before" -30 25
before=$(window_geometry "$id")
drag "$id" 3 50 50 46 12
moved_by "right drag" "$id" "$before" 0 0
before=$(window_geometry "$id")
drag "$id" 1 50 50 20 12
moved_by "left drag from the number" "$id" "$before" 0 0
quick_click_does_not_stick "$id"
quick_drags_end_under_the_pointer "$id"

note "the manager's close saves the placement; the next start restores it"
placed=$(window_geometry "$id")
xdotool windowactivate --sync "$id"
xdotool key alt+F4
timeout 5 tail --pid="$pid" -f /dev/null || fail "nevlin still running after Alt+F4"
settings=$XDG_CONFIG_HOME/Ostravel/settings.conf
[ -f "$settings" ] || fail "no $settings"
for key in Height Width Left Top; do grep -q "^$key=" "$settings" || fail "no $key in $(cat "$settings")"; done
run_bg nevlin2 "$nevlin"
pid=$LAST_PID
id=$(ostravel_window)
expect_soon "restored placement" 'window_geometry "$id"' "$placed"

note "a minimised window neither saves nor restores"
before=$(window_geometry "$id")
drag "$id" 1 -100 -100 46 12
moved_by "left drag" "$id" "$before" -100 -100
saved=$(cat "$settings")
xdotool windowminimize --sync "$id"
wait_for "the iconic state" sh -c "xprop -id $id WM_STATE | grep -q Iconic"
# No window has the focus now: only the program's own poll sees the chord, held across a turn
# (a tap can fall between the two keys' queries of one turn).
xdotool keydown alt keydown F4
wait_until "! kill -0 $pid 2>/dev/null" 5 || true
xdotool keyup F4 keyup alt
timeout 5 tail --pid="$pid" -f /dev/null || fail "nevlin still running after the chord"
expect "settings after closing minimised" "$(cat "$settings")" "$saved"

note "a first start centres the window in the space a panel leaves free"
run_bg panel xlogo -geometry 1024x100+0+0
panel=$(timeout 10 xdotool search --sync --onlyvisible --name '^xlogo$' | head -n 1)
xprop -id "$panel" -f _NET_WM_STRUT 32c -set _NET_WM_STRUT 0,0,100,0
wait_for "the work area below the panel" sh -c "xprop -root _NET_WORKAREA | grep -q '= 0, 100, 1024, 668'"
export XDG_CONFIG_HOME=$SCRATCH/fresh
run_bg nevlin3 "$nevlin"
id=$(ostravel_window)
expect_soon "centred below the panel" 'window_geometry "$id"' "456 413 112 42" # 100 + (668 - 42) / 2
echo PASS
