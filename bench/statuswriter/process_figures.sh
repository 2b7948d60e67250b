#!/usr/bin/env bash
# Whole-process figures of vantrel while it cycles at 1 ms over the bench power-supply
# tree (mains, two batteries, a mouse): peak resident memory, CPU time per record, system
# calls per cycle, and the CPU time per record of a shell loop that copies the same
# supplies' uevent files into a file with cat.
#
# Usage: bench/statuswriter/process_figures.sh [VANTREL] [RECORDS]
#   VANTREL  the program (default build/statuswriter/vantrel)
#   RECORDS  records to measure over, at least 1000 (default 3000)
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
# shellcheck source=SCRIPTDIR/../../tests/harness.sh
source "$root/tests/harness.sh"
vantrel=$(realpath "${1:-$root/build/statuswriter/vantrel}")
records=${2:-3000}
[ "$records" -ge 1000 ] || { echo "process_figures: at least 1000 records" >&2; exit 2; }
[ -x "$vantrel" ] || fail "no program $vantrel: build it with scripts/build"
require_tools strace
tree=$root/tests/fixtures/power/bench
shell_rounds=300
ticks=$(getconf CLK_TCK)
work=$SCRATCH

# Fields 14 and 15 of /proc/PID/stat (utime, stime), counted after the command's ")".
cpu_ticks() {
  local rest
  rest=$(sed 's/^.*) //' "/proc/$1/stat")
  awk '{ print $12 + $13 }' <<<"$rest"
}
# Write system calls so far: one pwrite per record, none at start-up.
writes_of() { awk '/^syscw:/ { print $2 }' "/proc/$1/io"; }

# --- vantrel cycling -------------------------------------------------------------------
OSTRAVEL_POWER_SUPPLY_DIR=$tree run_bg vantrel "$vantrel" "$work/power.txt;1"
pid=$LAST_PID
wait_until '[ -s "$work/power.txt" ]' 20 || fail "vantrel wrote no record: $(cat "$work/vantrel.err")"
start_writes=$(writes_of "$pid")
start_ticks=$(cpu_ticks "$pid")
start_ns=$(awk '{ print $1 }' "/proc/$pid/schedstat")
start_clock=$(date +%s.%N)
while [ $(($(writes_of "$pid") - start_writes)) -lt "$records" ]; do sleep 0.1; done
end_writes=$(writes_of "$pid")
end_ticks=$(cpu_ticks "$pid")
end_ns=$(awk '{ print $1 }' "/proc/$pid/schedstat")
end_clock=$(date +%s.%N)
peak_kib=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status")
kill "$pid"
wait "$pid" 2>/dev/null || true

counted=$((end_writes - start_writes))
record=$(cat "$work/power.txt")
awk -v n="$counted" -v t="$((end_ticks - start_ticks))" -v hz="$ticks" -v ns="$((end_ns - start_ns))" \
  -v wall="$(awk -v a="$start_clock" -v b="$end_clock" 'BEGIN { print b - a }')" -v kib="$peak_kib" \
  -v rec="$record" 'BEGIN {
    printf "vantrel, interval 1 ms, record %s\n", rec
    printf "  records measured             %d in %.2f s\n", n, wall
    printf "  peak resident memory (VmHWM) %d KiB = %.2f MiB\n", kib, kib / 1024
    printf "  CPU per record, utime+stime  %.1f us (%d ticks of 1/%d s)\n", t / hz / n * 1e6, t, hz
    printf "  CPU per record, schedstat    %.1f us\n", ns / n / 1000
  }'
vantrel_us=$(awk -v ns="$((end_ns - start_ns))" -v n="$counted" 'BEGIN { print ns / n / 1000 }')

# --- system calls per cycle --------------------------------------------------------------
OSTRAVEL_POWER_SUPPLY_DIR=$tree run_bg strace strace -f -c -o "$work/strace.txt" "$vantrel" "$work/traced.txt;1"
pid=$LAST_PID
sleep 2 # a couple of thousand cycles
# Ending the traced program, strace's child, lets strace write its summary and end too.
pkill -TERM -P "$pid" -x vantrel
wait "$pid" 2>/dev/null || true
cycles=$(awk '$NF == "pwrite64" { print $4 }' "$work/strace.txt")
echo "system calls per cycle, over $cycles cycles (start-up calls spread over them):"
awk -v n="$cycles" '
  $NF ~ /^[a-z_0-9]+$/ && $4 ~ /^[0-9]+$/ && $NF != "total" { printf "  %-16s %6.2f\n", $NF, $4 / n; sum += $4 }
  END { printf "  %-16s %6.2f\n", "all", sum / n }' "$work/strace.txt"

# --- the shell-loop alternative ------------------------------------------------------------
TIMEFORMAT='%3U %3S'
shell_times=$({ time bash -c 'for ((i = 0; i < $1; i++)); do cat "$2"/*/uevent >"$3"; done' \
  loop "$shell_rounds" "$tree" "$work/shell.txt"; } 2>&1)
shell_us=$(awk -v u="${shell_times% *}" -v s="${shell_times#* }" -v n="$shell_rounds" \
  'BEGIN { print (u + s) / n * 1e6 }')
awk -v us="$shell_us" -v n="$shell_rounds" -v mine="$vantrel_us" 'BEGIN {
  printf "shell loop: while :; do cat TREE/*/uevent > FILE; done, %d rounds\n", n
  printf "  CPU per record (user+sys, shell and children) %.0f us\n", us
  printf "  ratio to vantrel                              %.0f times\n", us / mine
}'
