#!/usr/bin/env bash
# The programs unpacked from the package run: vantrel writes its record from a fixture
# power-supply tree, nevlin opens its window on a virtual X server.
source "$(dirname "$0")/package_env.sh"
require_tools Xvfb xdotool
unpack
fixtures=$SOURCE_DIR/tests/fixtures/power

# On mains, 45 of 50 Wh, the battery's status unknown: 90 %, flag 1 (high), no times.
export OSTRAVEL_POWER_SUPPLY_DIR=$fixtures/unknown_on_mains_full
cd "$WORK"
"$ROOT/usr/bin/vantrel" 'power.txt;100' &
PACKAGE_PIDS+=($!)
record_is() { [ "$(cat power.txt 2>/dev/null)" = "$1" ]; }
wait_until 20 "vantrel's record" record_is '1#-1#-1#1#90#'
note "vantrel wrote $(cat power.txt)"

# nevlin on its own X server, with a settings folder of its own.
mkfifo "$WORK/displayfd"
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$WORK/displayfd" 2>"$WORK/xvfb.log" &
PACKAGE_PIDS+=($!)
read -r -t 20 number <"$WORK/displayfd" || fail "Xvfb did not start: $(tail -n 3 "$WORK/xvfb.log")"
export DISPLAY=":$number" XDG_CONFIG_HOME=$WORK/config
"$ROOT/usr/bin/nevlin" 2>"$WORK/nevlin.err" &
nevlin=$!
PACKAGE_PIDS+=("$nevlin")
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Ostravel$' | head -n 1) ||
  fail "no window named Ostravel: $(cat "$WORK/nevlin.err")"
kill -0 "$nevlin" || fail "nevlin ended: $(cat "$WORK/nevlin.err")"
note "nevlin shows window $window on display :$number"
echo "programs: ok"
