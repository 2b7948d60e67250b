#!/usr/bin/env bash
# nevlin on a headless weston, which offers no layer-shell: the window opens through Xwayland
# at its saved place (weston maps a new X window where it was made), and a forced native
# backend fails with one line naming the missing protocol.
# Usage: weston_test.sh NEVLIN
# shellcheck source=SCRIPTDIR/wayland_session.sh
source "$(dirname "$0")/wayland_session.sh"
nevlin=$1

power=$SCRATCH/power
fixture "$power" mains40
export OSTRAVEL_POWER_SUPPLY_DIR=$power XDG_CONFIG_HOME=$SCRATCH/config
mkdir -p "$XDG_CONFIG_HOME/Ostravel"
printf '[fNevlin Pos]\nHeight=630\nWidth=1680\nLeft=3000\nTop=1500\n' >"$XDG_CONFIG_HOME/Ostravel/settings.conf"
start_weston 1024x768

status=0
OSTRAVEL_BACKEND=wayland "$nevlin" 2>"$SCRATCH/forced.err" || status=$?
expect "forced native backend" "$status $(cat "$SCRATCH/forced.err")" \
  "1 nevlin: the compositor offers no zwlr_layer_shell_v1"

run_bg nevlin "$nevlin"
id=$(ostravel_window)
expect_soon "the X11 window at its saved place" 'window_geometry "$id"' "200 100 112 42"
echo PASS
