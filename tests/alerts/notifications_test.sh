#!/usr/bin/env bash
# nevlin's battery alerts on a private session bus with python-dbusmock's notification server.
# A battery stepped 20 -> 9 -> 4 % and then plugged in gives one low notice, one critical
# notice with urgency 2 in its place and one CloseNotification of it; the critical command,
# called off by the mains within its delay, never runs, and on a second round at 4 % it runs
# once, after its delay. Four nevlins read the same supplies, each with a settings file of
# its own: the one with alerts (and a broken Full, which warns once), one without [Alerts]
# that never connects to the bus, one on a bus without a notification server and one with no
# bus at all, which warn once each and keep turning. The alerts write nothing: the settings
# file, placement beside [Alerts], stays as it was.
# Usage: notifications_test.sh NEVLIN ARTDIR
# shellcheck source=SCRIPTDIR/../x_session.sh
source "$(dirname "$0")/../x_session.sh"
nevlin=$1 art=$2
require_tools dbus-daemon dbus-send
/usr/bin/python3 -c 'import dbusmock' 2>/dev/null || skip "python3-dbusmock is missing: scripts/install-deps.sh test"
start_x bare

# The supplies: on battery (discharging) or on mains (charging) at a charge.
power=$SCRATCH/power
export OSTRAVEL_POWER_SUPPLY_DIR=$power
supplies() {
  local tree
  tree=$(mktemp -d "$SCRATCH/tree.XXXXXX")
  if [ "$1" = battery ]; then
    supply "$tree" AC TYPE=Mains ONLINE=0
    supply "$tree" BAT0 TYPE=Battery STATUS=Discharging PRESENT=1 CAPACITY="$2"
  else
    supply "$tree" AC TYPE=Mains ONLINE=1
    supply "$tree" BAT0 TYPE=Battery STATUS=Charging PRESENT=1 CAPACITY="$2"
  fi
  point_at "$power" "$tree"
}

# start NAME LEFT TOP BUS [ALERTS...]: a nevlin with a settings folder of its own, its window
# at LEFT TOP (twips) so that the windows do not cover each other, on the bus at BUS, with
# the lines ALERTS in [Alerts]. Its pid is in pid_of[NAME].
declare -A pid_of
start() {
  local name=$1 left=$2 top=$3 bus=$4
  shift 4
  mkdir -p "$SCRATCH/$name/Ostravel"
  {
    printf '[fNevlin Pos]\nLeft=%s\nTop=%s\n' "$left" "$top"
    if [ $# -gt 0 ]; then printf '\n[Alerts]\n' && printf '%s\n' "$@"; fi
  } >"$SCRATCH/$name/Ostravel/settings.conf"
  run_bg "$name" env XDG_CONFIG_HOME="$SCRATCH/$name" DBUS_SESSION_BUS_ADDRESS="$bus" "$nevlin"
  pid_of[$name]=$LAST_PID
}

# picture_of PID: the picture nevlin PID shows (charging, mains, battery).
picture_of() {
  local id
  id=$(xdotool search --pid "$1" --onlyvisible --name '^Ostravel$' 2>/dev/null | head -n 1) || return 0
  snapshot "$id" "$SCRATCH/shot.png" 2>/dev/null && picture_shown "$SCRATCH/shot.png" "$art"
}

# The mock's log: one line per call, "TIME Notify "Ostravel" REPLACES_ID "ostravel" ... {"urgency": N} -1".
log=$SCRATCH/notifications.log
calls() { grep -c " $1 " "$log" 2>/dev/null || true; }
notify() { grep ' Notify ' "$log" | sed -n "$1p"; }
replaces() { notify "$1" | awk '{print $4}'; }
urgency() { notify "$1" | grep -o '"urgency": [0-9]*' | grep -o '[0-9]*$'; }
closed() { grep ' CloseNotification ' "$log" | sed -n "$1p" | awk '{print $3}'; }

start_session_bus notifications
notifications=$BUS_ADDRESS
run_bg mock env DBUS_SESSION_BUS_ADDRESS="$notifications" /usr/bin/python3 -m dbusmock --template notification_daemon -l "$log"
wait_until "bus_call '$notifications' NameHasOwner string:org.freedesktop.Notifications | grep -q true" 20 ||
  fail "the mock notification server did not start: $(tail -n 3 "$SCRATCH/mock.err")"
start_session_bus silent
silent=$BUS_ADDRESS

supplies battery 20
ran=$SCRATCH/ran
start alerts 7000 5000 "$notifications" Enabled=1 Low=10 Critical=5 Full=x80 \
  "CriticalCommand=date +%s.%N >>'$ran'" CriticalDelay=6
start quiet 0 0 "$notifications"
start serverless 0 1500 "$silent" Enabled=1
start busless 0 3000 "unix:path=$SCRATCH/no-bus" Enabled=1
for pid in "${pid_of[@]}"; do
  wait_until "[ \"\$(picture_of $pid)\" = battery ]" 20 || fail "nevlin $pid shows no battery: $(cat "$SCRATCH"/*.err)"
done
settings=$SCRATCH/alerts/Ostravel/settings.conf
cp "$settings" "$SCRATCH/settings-before"

note "20 -> 9 -> 4 % on battery, then the mains"
supplies battery 9
wait_until '[ "$(calls Notify)" = 1 ]' 20 || fail "no low notice: $(cat "$log")"
expect "the low notice's urgency, replacing none" "$(urgency 1) $(replaces 1)" "1 0"
supplies battery 4
wait_until '[ "$(calls Notify)" = 2 ]' 20 || fail "no critical notice: $(cat "$log")"
expect "the critical notice's urgency, replacing the low one" "$(urgency 2) $(replaces 2)" "2 1"
supplies mains 4
wait_until '[ "$(calls CloseNotification)" = 1 ]' 20 || fail "the critical notice stayed: $(cat "$log")"
expect "closed" "$(closed 1)" 1
# The mains came back within the delay (6 s); a machine too slow for that would make the
# rest of the test meaningless.
awk '/ Notify /{n = $1} / CloseNotification /{c = $1} END {exit !(c - n < 5)}' "$log" ||
  fail "the mains were seen more than 5 s after the critical notice: the machine is too slow for this test"
note "on mains until a second past the command's time"
after() { awk -v now="$(date +%s.%N)" -v then="$1" 'BEGIN {exit !(now > then)}'; }
wait_until "after $(notify 2 | awk '{printf "%.3f", $1 + 7}')" 20 || fail "the clock stands still"

note "a second round at 4 % runs the command once, after its delay"
supplies battery 4
wait_until '[ "$(calls Notify)" = 3 ]' 20 || fail "no second critical notice: $(cat "$log")"
expect "the second critical notice, a new one" "$(urgency 3) $(replaces 3)" "2 0"
wait_until '[ -s "$ran" ]' 30 || fail "the critical command did not run: $(cat "$SCRATCH/alerts.err")"
# The first round's command, had the mains not called it off, would run as soon as the battery
# is back: not after the second round's delay.
awk -v ran="$(head -n 1 "$ran")" -v alert="$(notify 3 | awk '{print $1}')" 'BEGIN {exit !(ran - alert > 5)}' ||
  check "the command ran $(awk -v ran="$(head -n 1 "$ran")" -v alert="$(notify 3 | awk '{print $1}')" \
    'BEGIN {print ran - alert}') s after the second critical notice, not after its delay of 6 s"
supplies mains 4
wait_until '[ "$(calls CloseNotification)" = 2 ]' 20 || fail "the second critical notice stayed"

note "the others turned with the same readings"
for pid in "${pid_of[quiet]}" "${pid_of[serverless]}" "${pid_of[busless]}"; do
  wait_until "[ \"\$(picture_of $pid)\" = charging ]" 20 || fail "nevlin $pid did not follow the mains"
done
on_bus=$(bus_pids "$notifications")
grep -qx "${pid_of[quiet]}" <<<"$on_bus" && check "nevlin without [Alerts] connected to the bus"
grep -qx "${pid_of[alerts]}" <<<"$on_bus" || check "nevlin with alerts is not on the bus: $on_bus"

for pid in "${pid_of[@]}"; do
  kill "$pid"
  wait_until "! kill -0 $pid 2>/dev/null" 10 || fail "nevlin $pid still running after SIGTERM"
done
cmp -s "$settings" "$SCRATCH/settings-before" || check "the settings file changed: $(cat "$settings")"

expect "notices" "$(calls Notify) $(calls CloseNotification)" "3 2"
expect "the critical command's runs" "$(wc -l <"$ran")" 1
expect "warnings of nevlin with alerts" "$(cat "$SCRATCH/alerts.err")" \
  "nevlin: $settings: ignoring [Alerts] Full = \"x80\" (not a whole number from 0 to 100), using 0"
expect "warnings of nevlin without [Alerts]" "$(cat "$SCRATCH/quiet.err")" ""
expect "warnings without a notification server" "$(grep -c . "$SCRATCH/serverless.err")" 1
grep -q '^nevlin: cannot show desktop notifications: .*org.freedesktop.Notifications' "$SCRATCH/serverless.err" ||
  check "no server: $(cat "$SCRATCH/serverless.err")"
expect "warnings without a bus" "$(grep -c . "$SCRATCH/busless.err")" 1
grep -q '^nevlin: cannot reach the session bus: ' "$SCRATCH/busless.err" || check "no bus: $(cat "$SCRATCH/busless.err")"
