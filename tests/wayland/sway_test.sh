#!/usr/bin/env bash
# nevlin's native panel on a headless sway: restored at its place and size above a foot window
# without taking the keyboard from it, drawn like the X11 window pixel for pixel, a click giving
# it the keyboard, T then releasing it below the window and pinning it again, drags by the
# left button (paced) and the middle one (moved and released before the program reads the
# press), Alt+F4 saving the placement that the next start restores, and the details tip
# below the panel while the pointer rests on it.
# Usage: sway_test.sh NEVLIN VIRTUAL_POINTER ARTDIR
# shellcheck source=SCRIPTDIR/wayland_session.sh
source "$(dirname "$0")/wayland_session.sh"
nevlin=$1 pointer=$2 art=$3
require_tools foot wtype Xvfb convert compare

power=$SCRATCH/power
fixture "$power" mains40
export OSTRAVEL_POWER_SUPPLY_DIR=$power XDG_CONFIG_HOME=$SCRATCH/config
settings=$XDG_CONFIG_HOME/Ostravel/settings.conf
mkdir -p "$(dirname "$settings")"
printf '[fNevlin Pos]\nHeight=630\nWidth=1680\nLeft=3000\nTop=1500\n' >"$settings" # 200 100 112 42 px

note "the X11 window's pixels, for the panel to match"
start_x bare
OSTRAVEL_BACKEND=x11 run_bg x11 "$nevlin"
x11=$LAST_PID
id=$(ostravel_window)
x11_shot=$SCRATCH/x11.png
x11_shows_mains() { snapshot "$id" "$x11_shot" && [ "$(picture_shown "$x11_shot" "$art")" = mains ]; }
wait_until x11_shows_mains 10 || fail "the X11 window shows no mains picture"
kill "$x11"
wait "$x11" 2>/dev/null || true

start_sway 1024x768
shot=$SCRATCH/screen.png
start_pointer "$pointer"
start_keyboard
run_bg foot foot -o colors.background=336699
wait_until 'screen_pixels "$shot" && [ "$(pixel "$shot" 246 112)" = 336699 ]' 10 || fail "no foot window over the output"

note "restored at its place and size, above the foot window"
run_bg nevlin "$nevlin"
pid=$LAST_PID
wait_until 'panel_at 200 100' 10 || fail "no panel at 200 100: $(cat "$SCRATCH/nevlin.err")"
convert "$shot" -crop 112x42+200+100 +repage "$SCRATCH/panel.png"
expect "pixels unlike the X11 window's" "$(compare -metric AE -fuzz 20% "$x11_shot" "$SCRATCH/panel.png" null: 2>&1)" 0

foot_node=$(seat_focus)
[ "${foot_node:-0}" != 0 ] || fail "the panel took the keyboard from the foot window when it appeared"

note "after a click on its number the panel has the keyboard: T releases it below the window and pins it again"
pointer at 220 112 press left release left
wait_until '[ "$(seat_focus)" = 0 ]' 10 || fail "the click gave the panel no keyboard"
wtype t
wait_until '! panel_at 200 100' 10 || fail "still above the foot window after T"
wtype t
wait_until 'panel_at 200 100' 10 || fail "not above the foot window again after a second T"

note "drags from the bare panel (the pointer then leaves it, out of the pixels looked at)"
pointer at 246 112 press left pause 400 by 30 -20 pause 100 by 30 -20 pause 200 release left at 900 700
wait_until 'panel_at 260 60' 10 || fail "the left drag did not move the panel by 60 -40"
pointer at 360 100 press middle by -100 50 release middle at 900 700
wait_until 'panel_at 160 110' 10 || fail "the middle drag, done before a turn, did not move the panel by -100 50"

note "Alt+F4, after a click that gives the panel the keyboard, saves the placement; the next start restores it"
pointer at 180 122 press left release left
wait_until '[ "$(seat_focus)" = 0 ]' 10 || fail "the click gave the panel no keyboard"
wtype -M alt -s 100 -k F4 -s 100 -m alt
timeout 5 tail --pid="$pid" -f /dev/null || fail "nevlin still running after Alt+F4"
expect "saved" "$(grep -E '^(Height|Width|Left|Top)=' "$settings" | tr '\n' ' ')" \
  "Height=630 Width=1680 Left=2400 Top=1650 "
run_bg nevlin2 "$nevlin"
wait_until 'panel_at 160 110' 10 || fail "the next start did not restore the panel at 160 110"

note "resting the pointer on the panel brings the details tip below it, clear of it; it goes when the pointer leaves"
tip_at() { screen_pixels "$shot" && [ "$(pixel "$shot" "$1" "$2")" = 808080 ] && [ "$(pixel "$shot" $(($1 + 2)) $(($2 + 2)))" = FFFFE1 ]; }
pointer at 240 112 # the cursor clear of the pixels looked at
wait_until 'tip_at 160 154' 10 || fail "no details tip below the panel after the pointer rested on it"
panel_shown_at 160 110 "$shot" || fail "the tip covers the panel"
pointer at 900 700
wait_until '! tip_at 160 154' 10 || fail "the tip stayed after the pointer left the panel"
echo PASS
