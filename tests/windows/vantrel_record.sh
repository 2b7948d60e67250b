#!/usr/bin/env bash
# Vantrel.exe under Wine writes the same record as vantrel on this machine; on a machine
# without a battery Wine reports mains, no battery, unknown charge and times. Its --json holds
# that record, and no battery, since Wine has no battery devices.
# shellcheck source=SCRIPTDIR/wine_prefix.sh
source "$(dirname "$0")/wine_prefix.sh"
require_cross_build "$VANTREL_EXE"
require_tools python3
: "${LINUX_VANTREL:?LINUX_VANTREL names the Linux vantrel}"
fresh_test_dir
start_wine

# first_record OUTPUT-FILE COMMAND...: the first record the program writes; the test stops
# without one.
first_record() {
  local out=$1 pid
  shift
  "$@" "$out;200" &
  pid=$!
  wait_until "grep -q '^[-0-9]*#[-0-9]*#[-0-9]*#[-0-9]*#[-0-9]*#' '$out' 2>/dev/null || ! kill -0 $pid 2>/dev/null" 60 || true
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  grep -q '^[-0-9]*#[-0-9]*#[-0-9]*#[-0-9]*#[-0-9]*#' "$out" 2>/dev/null ||
    fail "no record in $out from $* (status file: $(cat "$out" 2>&1))"
  cat "$out"
}

windows_record=$(first_record "$WINE_TEST_DIR/windows.txt" "$WINE64" "$VANTREL_EXE")
linux_record=$(first_record "$WINE_TEST_DIR/linux.txt" "$LINUX_VANTREL")
echo "Vantrel.exe: $windows_record"
echo "vantrel:     $linux_record"
[ "$windows_record" = "$linux_record" ] || check "the records differ"
if ! grep -qs '^Battery$' /sys/class/power_supply/*/type && [ "$windows_record" != "1#-1#-1#128#255#" ]; then
  check "without a battery the record is 1#-1#-1#128#255#, not $windows_record"
fi

json=$(timeout 60 "$WINE64" "$VANTREL_EXE" --json) || fail "Vantrel.exe --json failed: $json"
echo "Vantrel.exe --json: $(tr -d ' \n' <<<"$json")"
python3 - "$json" "$windows_record" <<'PYTHON' || check "Vantrel.exe --json is not the combined reading alone"
import json, sys
report = json.loads(sys.argv[1])
order = ["ac_line_status", "battery_full_life_time", "battery_life_time", "battery_flag", "battery_life_percent"]
record = "".join("%d#" % report[name] for name in order)
assert sys.argv[2].startswith(record), (record, sys.argv[2])
assert not report.get("batteries"), report.get("batteries")
assert report["seconds_to_full"] is None and report["draw_watts"] is None, report
PYTHON
