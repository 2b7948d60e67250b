#!/usr/bin/env bash
# The programs unpacked from the package run: vantrel writes its record from a fixture
# power-supply tree, nevlin opens its window on a virtual X server.
# shellcheck source=SCRIPTDIR/package_env.sh
source "$(dirname "$0")/package_env.sh"
# shellcheck source=SCRIPTDIR/../x_session.sh
source "$(dirname "$0")/../x_session.sh"
require_tools Xvfb xdotool
unpack
fixtures=$SOURCE_DIR/tests/fixtures/power

# On mains, 45 of 50 Wh, the battery's status unknown: 90 %, flag 1 (high), no times.
export OSTRAVEL_POWER_SUPPLY_DIR=$fixtures/unknown_on_mains_full
cd "$WORK"
run_bg vantrel "$ROOT/usr/bin/vantrel" 'power.txt;100'
wait_until '[ "$(cat power.txt 2>/dev/null)" = "1#-1#-1#1#90#" ]' 20 || fail "vantrel's record: $(cat power.txt 2>/dev/null)"
note "vantrel wrote $(cat power.txt)"

# nevlin on its own X server, with a settings folder of its own.
start_x bare 640x480
export XDG_CONFIG_HOME=$WORK/config
run_bg nevlin "$ROOT/usr/bin/nevlin"
nevlin=$LAST_PID
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Ostravel$' | head -n 1) ||
  fail "no window named Ostravel: $(cat "$WORK/nevlin.err")"
kill -0 "$nevlin" || fail "nevlin ended: $(cat "$WORK/nevlin.err")"
note "nevlin shows window $window on $DISPLAY"
echo "programs: ok"
