#!/usr/bin/env bash
# What an idle turn costs, as a whole process and in the X server: nevlin (a turn every 300 ms)
# beside wmbattery (a dock battery window, an update every second), each on its own Xvfb with
# openbox, both running at once. Each reads the same power-supply tree at the kernel's own
# place, /sys/class/power_supply, in a mount namespace of its own where an in-memory file
# system (as sysfs is) holds a copy of the tree in the kernel's two forms side by side
# (tests/fixtures/power/bench and bench_files). CPU is the run time in /proc/PID/schedstat
# (ns) of each program and of its X server over SECONDS; turns and updates are counted from
# the wall clock. Then nevlin's X requests per idle turn, and how many of them wait for a
# reply, as xtrace sees them.
# Usage: bench/x11/idle_turn_figures.sh [NEVLIN] [SECONDS]   (as root, or where unshare may
# map the user to root)
# Goals: nevlin's CPU per turn below wmbattery's per update; its X server's CPU per turn
# under 10 us; no request that waits for a reply in an idle turn.
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=SCRIPTDIR/../../tests/x_session.sh
source "$here/../../tests/x_session.sh"
nevlin=$(realpath "${1:-$here/../../build/monitor/nevlin}")
seconds=${2:-30}
TOOLS_GROUP=bench require_tools wmbattery xtrace unshare mount

tree=$SCRATCH/power
mkdir "$tree"
cp -r "$here/../../tests/fixtures/power/bench/." "$here/../../tests/fixtures/power/bench_files/." "$tree"
export XDG_CONFIG_HOME=$SCRATCH/config

# session: starts Xvfb with openbox; its display in SESSION_DISPLAY, the server's pid in SESSION_X.
session() {
  start_x openbox
  SESSION_DISPLAY=$DISPLAY SESSION_X=$X_SERVER_PID
}

# on_tree COMMAND...: becomes COMMAND with the tree at /sys/class/power_supply (for run_bg:
# the shell, unshare and sh exec in turn, so the pid is the command's own).
mount_as=()
[ "$(id -u)" -eq 0 ] || mount_as=(--map-root-user)
on_tree() {
  # shellcheck disable=SC2016 # the inner shell's arguments
  exec unshare --mount --propagation private "${mount_as[@]}" sh -c \
    'mount -t tmpfs power /sys/class/power_supply && cp -r "$0"/. /sys/class/power_supply && exec "$@"' "$tree" "$@"
}

session
nevlin_display=$SESSION_DISPLAY nevlin_x=$SESSION_X
run_bg nevlin on_tree "$nevlin"
nevlin_pid=$LAST_PID
ostravel_window >/dev/null

session
wmbattery_x=$SESSION_X
run_bg wmbattery on_tree wmbattery -w 1
wmbattery_pid=$LAST_PID
timeout 10 xdotool search --sync --name '^wmbattery$' >/dev/null ||
  fail "no wmbattery window: $(cat "$SCRATCH/wmbattery.err")"
sleep 2 # both past their start-up

run_ns() { awk '{ print $1 }' "/proc/$1/schedstat"; }
pids=("$nevlin_pid" "$nevlin_x" "$wmbattery_pid" "$wmbattery_x")
before=() after=()
for pid in "${pids[@]}"; do before+=("$(run_ns "$pid")"); done
start=$(date +%s%N)
sleep "$seconds"
for pid in "${pids[@]}"; do after+=("$(run_ns "$pid")"); done
end=$(date +%s%N)
for pid in "$nevlin_pid" "$wmbattery_pid"; do kill -0 "$pid" 2>/dev/null || fail "pid $pid ended early"; done

awk -v wall=$((end - start)) -v n0="${before[0]}" -v n1="${after[0]}" -v x0="${before[1]}" -v x1="${after[1]}" \
  -v w0="${before[2]}" -v w1="${after[2]}" -v y0="${before[3]}" -v y1="${after[3]}" 'BEGIN {
    turns = wall / 300e6; updates = wall / 1e9
    printf "over %.1f s: %.0f nevlin turns, %.0f wmbattery updates\n", wall / 1e9, turns, updates
    printf "  nevlin     CPU per turn    %6.1f us, its X server %6.1f us\n", (n1 - n0) / turns / 1e3, (x1 - x0) / turns / 1e3
    printf "  wmbattery  CPU per update  %6.1f us, its X server %6.1f us\n", (w1 - w0) / updates / 1e3, (y1 - y0) / updates / 1e3
  }'
kill "$wmbattery_pid" "$nevlin_pid"
wait "$wmbattery_pid" "$nevlin_pid" 2>/dev/null || true

# The requests of idle turns, through xtrace on nevlin's server.
fake=$((100 + RANDOM % 800))
while [ -e "/tmp/.X11-unix/X$fake" ]; do fake=$((fake + 1)); done
trace=$SCRATCH/xtrace.txt
DISPLAY=$nevlin_display OSTRAVEL_POWER_SUPPLY_DIR=$tree \
  run_bg xtrace xtrace -n -d "$nevlin_display" -D ":$fake" -o "$trace" -- "$nevlin"
traced=$LAST_PID
DISPLAY=$nevlin_display ostravel_window >/dev/null
sleep 2
from=$(wc -l <"$trace")
traced_seconds=6
sleep "$traced_seconds"
tail -n +"$((from + 1))" "$trace" >"$trace.idle"
kill "$traced"
wait "$traced" 2>/dev/null || true
awk -v turns="$(awk -v s="$traced_seconds" 'BEGIN { print s / 0.3 }')" '
  /:<:/ { requests++; if (match($0, /Request\([0-9]+\): [A-Za-z]+/)) names[substr($0, RSTART, RLENGTH)]++ }
  /:>:.*Reply to/ { replies++ }
  END {
    printf "X requests of nevlin per idle turn, over %d turns: %.2f, of which wait for a reply: %.2f\n",
      turns, requests / turns, replies / turns
    for (name in names) printf "  %s %d\n", name, names[name]
  }' "$trace.idle"
