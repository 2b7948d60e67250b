#!/usr/bin/env bash
# nevlin on a bare X server: its own move for a drag on the bare panel, no move after a quick
# click, a drag moved (or even released) before the program reads its press ending where the
# pointer is relative to the grab point, raising itself over a window mapped on top of it, the
# size at 144 dpi (Xft.dpi) with a screenshot of that, and the picture at natural size there
# but at twice and three times its size, pixel for pixel, at 192 and 288 dpi.
# Usage: no_window_manager_test.sh NEVLIN ARTDIR SCREENSHOTDIR
# shellcheck source=SCRIPTDIR/../x_session.sh
source "$(dirname "$0")/../x_session.sh"
nevlin=$1 ART=$2 shots=$3
mkdir -p "$shots"
start_x bare

power=$SCRATCH/power
export XDG_CONFIG_HOME=$SCRATCH/config OSTRAVEL_POWER_SUPPLY_DIR=$power
fixture "$power" charging39
run_bg nevlin "$nevlin"
pid=$LAST_PID
id=$(ostravel_window)
expect "placed centred by itself" "$(window_geometry "$id")" "456 363 112 42"

note "the window moves itself"
before=$(window_geometry "$id")
drag "$id" 1 -70 45 46 12
moved_by "left drag on the bare panel" "$id" "$before" -70 45
before=$(window_geometry "$id")
drag "$id" 2 20 -10 46 12
moved_by "middle drag" "$id" "$before" 20 -10
before=$(window_geometry "$id")
drag "$id" 3 40 40 46 12
moved_by "right drag" "$id" "$before" 0 0
quick_click_does_not_stick "$id"
quick_drags_end_under_the_pointer "$id"

note "pinned without a manager: a window mapped over it is covered again"
read -r -a g <<<"$(window_geometry "$id")"
run_bg other xlogo -geometry "300x200+$((g[0] - 50))+$((g[1] - 50))"
timeout 10 xdotool search --sync --onlyvisible --name '^xlogo$' >/dev/null
wait_for "the window to raise itself" on_top_at "$id"
kill "$LAST_PID" "$pid"
# nevlin ends at its next turn: its window must be gone before the next one is looked for.
timeout 5 tail --pid="$pid" -f /dev/null || fail "nevlin still running after SIGTERM"

note "stored sizes the server refuses or that round to no pixel fall back to the design size"
mkdir -p "$XDG_CONFIG_HOME/Ostravel"
printf '[fNevlin Pos]\nHeight=1\nWidth=491520\n' >"$XDG_CONFIG_HOME/Ostravel/settings.conf"
run_bg nevlinsizes "$nevlin"
pid=$LAST_PID
id=$(ostravel_window)
expect "refused sizes" "$(window_geometry "$id")" "456 363 112 42"
expect "warnings" "$(grep -c '^nevlin: .*ignoring \[fNevlin Pos\] \(Height\|Width\) = ' "$SCRATCH/nevlinsizes.err")" 2
kill "$pid"
timeout 5 tail --pid="$pid" -f /dev/null || fail "nevlin still running after SIGTERM"
rm "$XDG_CONFIG_HOME/Ostravel/settings.conf"

note "144 dpi from Xft.dpi"
xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi:	144
"
run_bg nevlin144 "$nevlin"
id=$(ostravel_window)
expect "size" "$(window_geometry "$id" | cut -d' ' -f3-)" "168 63"
shot_framed() {
  snapshot "$id" "$shots/charging_144dpi.png"
  echo "$(pixel "$shots/charging_144dpi.png" 0 0) $(pixel "$shots/charging_144dpi.png" 69 18)"
}
expect_soon "painted" shot_framed "0000C0 E0E0E0"
expect "frame" "$(pixel "$shots/charging_144dpi.png" 0 0)" 0000C0
expect "panel" "$(pixel "$shots/charging_144dpi.png" 69 18)" E0E0E0
[ "$(count_colour "$shots/charging_144dpi.png" 11 4 56 30 FF0000)" -gt 40 ] || fail "no red digits at 144 dpi"
# same_pixels FILE.png WIDTHxHEIGHT+X+Y REFERENCE SCALE%: differing pixels of the area and the
# reference picture enlarged pixel for pixel.
same_pixels() {
  convert "$1" -crop "$2" +repage "$SCRATCH/area.png"
  convert "$3" -sample "$4" "$SCRATCH/reference.png"
  compare -metric AE "$SCRATCH/reference.png" "$SCRATCH/area.png" null: 2>&1 || true
}
expect "the picture at its natural size below 192 dpi" \
  "$(same_pixels "$shots/charging_144dpi.png" 32x32+112+7 "$ART/charging.xpm" 100%)" 0
kill "$LAST_PID"
timeout 5 tail --pid="$LAST_PID" -f /dev/null || fail "nevlin still running after SIGTERM"

shot_square() {
  snapshot "$id" "$shot"
  same_pixels "$shot" "$square" "$ART/charging.xpm" "$percent"
}
note "the picture at twice and three times its size from 192 and 288 dpi, crisp"
# dpi, window size, the picture's square, its scale
for dense in "192 224x84 64x64+149+9 200%" "288 336x126 96x96+224+14 300%"; do
  read -r dpi size square percent <<<"$dense"
  xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi:	$dpi
"
  run_bg "nevlin$dpi" "$nevlin"
  id=$(ostravel_window)
  expect "size at $dpi dpi" "$(window_geometry "$id" | tr ' ' x | cut -dx -f3-)" "$size"
  shot=$shots/charging_${dpi}dpi.png
  expect_soon "the picture at $dpi dpi, pixels apart from $percent of charging.xpm" shot_square 0
  kill "$LAST_PID"
  timeout 5 tail --pid="$LAST_PID" -f /dev/null || fail "nevlin still running after SIGTERM"
done
echo PASS
