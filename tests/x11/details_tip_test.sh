#!/usr/bin/env bash
# nevlin's details tip on a bare X server: it appears once the pointer rests on the panel, as
# an override-redirect tooltip named "Ostravel details" beside the panel and clear of it,
# follows a new reading while shown, goes when the pointer leaves and when a button is
# pressed, and the panel's own pixels stay as they were.
# Usage: details_tip_test.sh NEVLIN ARTDIR SCREENSHOTDIR
# shellcheck source=SCRIPTDIR/../x_session.sh
source "$(dirname "$0")/../x_session.sh"
nevlin=$1 shots=$3
mkdir -p "$shots"
start_x bare

power=$SCRATCH/power
export XDG_CONFIG_HOME=$SCRATCH/config OSTRAVEL_POWER_SUPPLY_DIR=$power
fixture "$power" battery66_timed
xdotool mousemove 5 5 # away from where the window comes up
run_bg nevlin "$nevlin"
id=$(ostravel_window)
read -r -a g <<<"$(window_geometry "$id")"
expect "placed centred" "${g[*]}" "456 363 112 42"
snapshot "$id" "$SCRATCH/panel_before.png"

tip_shown() { xdotool search --onlyvisible --name '^Ostravel details$' 2>/dev/null | head -n 1; }
tip_gone() { [ -z "$(tip_shown)" ]; }
hover() { xdotool mousemove $((g[0] + 46)) $((g[1] + 12)); }

note "resting on the panel brings the tip"
hover
wait_until '[ -n "$(tip_shown)" ]' 10 || fail "no tip after resting on the panel"
tip=$(tip_shown)
xprop -id "$tip" _NET_WM_WINDOW_TYPE | grep -q '_NET_WM_WINDOW_TYPE_TOOLTIP' || fail "the tip is not a tooltip"
xwininfo -id "$tip" | grep -q 'Override Redirect State: yes' || fail "the tip is the manager's to place"
read -r -a t <<<"$(window_geometry "$tip")"
expect "under the panel, 2 px apart, at its left edge" "${t[0]} ${t[1]}" "456 407"
((t[2] > 100 && t[3] > 40)) || fail "tip of ${t[2]}x${t[3]} is too small for its lines"
snapshot "$tip" "$shots/details_tip.png"
[ "$(count_colour "$shots/details_tip.png" 0 0 "${t[2]}" "${t[3]}" 000000 40)" -gt 50 ] || fail "no text in the tip"
snapshot "$id" "$SCRATCH/panel_with_tip.png"
expect "the panel's pixels with the tip shown" \
  "$(compare -metric AE "$SCRATCH/panel_before.png" "$SCRATCH/panel_with_tip.png" null: 2>&1 || true)" 0

note "a new reading shows in the tip while it is shown"
fixture "$power" battery_unknown
tip_height() { window_geometry "$(tip_shown)" | cut -d' ' -f4; }
wait_until '[ "$(tip_height)" != "${t[3]}" ]' 10 || fail "the tip kept the old reading"

note "leaving the panel takes the tip away; a press does too"
xdotool mousemove 5 5
wait_until tip_gone 10 || fail "the tip stayed after the pointer left"
hover
wait_until '[ -n "$(tip_shown)" ]' 10 || fail "no tip after coming back"
xdotool click 3
wait_until tip_gone 10 || fail "the tip stayed after a press"
echo PASS
