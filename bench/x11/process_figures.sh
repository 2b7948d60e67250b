#!/usr/bin/env bash
# Whole-process figures of nevlin on a virtual X server, on a fixed fixture tree:
#   - time from exec to the first map of its window (several runs; xev on the root reports the map),
#   - CPU time (utime + stime from /proc) and peak resident memory (VmHWM) over a run.
# Usage: bench/x11/process_figures.sh [NEVLIN] [SECONDS] [RUNS] [openbox]
# Goals: first map under 150 ms, CPU under 0.1 % of a core, peak memory under 12 MiB.
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tests/x_session.sh"
nevlin=${1:-$here/../../build/monitor/nevlin}
seconds=${2:-60}
runs=${3:-10}
start_x "${4:-}"

power=$X_SESSION_TMP/power
export XDG_CONFIG_HOME=$X_SESSION_TMP/config OSTRAVEL_POWER_SUPPLY_DIR=$power
fixture "$power" battery66_timed

now_us() { echo $(($(date +%s%N) / 1000)); }

echo "exec to first map, $runs runs (${4:-no window manager}):"
times=()
for run in $(seq "$runs"); do
  coproc WATCH { exec stdbuf -oL xev -root -event substructure; }
  watch_pid=$WATCH_PID
  sleep 0.3 # xev has selected its events
  start=$(now_us)
  "$nevlin" 2>/dev/null &
  pid=$!
  mapped=""
  while read -r -t 5 line <&"${WATCH[0]}"; do
    case $line in MapNotify*) mapped=$(now_us); break ;; esac
  done
  kill "$pid" "$watch_pid" 2>/dev/null
  wait "$pid" "$watch_pid" 2>/dev/null || true
  [ -n "$mapped" ] || fail "run $run: no map seen"
  times+=($(((mapped - start) / 100)))
done
printf '%s\n' "${times[@]}" | sort -n | awk '{t[NR]=$1/10} END {
  printf "  min %.1f ms, median %.1f ms, max %.1f ms\n", t[1], t[int((NR+1)/2)], t[NR] }'

echo "CPU and peak memory over $seconds s:"
"$nevlin" 2>/dev/null &
pid=$!
X_SESSION_PIDS+=("$pid")
sleep 1
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
first=$(ticks)
sleep "$seconds"
last=$(ticks)
hz=$(getconf CLK_TCK)
awk -v t=$((last - first)) -v hz="$hz" -v s="$seconds" \
  'BEGIN { printf "  CPU %.3f s in %d s: %.3f %% of one core\n", t / hz, s, 100 * t / hz / s }'
grep -E 'VmHWM|VmRSS' "/proc/$pid/status" | sed 's/^/  /'
