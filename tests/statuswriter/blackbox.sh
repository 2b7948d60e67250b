#!/usr/bin/env bash
# Black-box tests of vantrel: runs the program against temporary files and fixture
# power-supply trees and looks only at its files, output and exit status.
#
# Usage: blackbox.sh [VANTREL]
#   VANTREL (environment) is the command line to run, possibly several words, e.g.
#   "/usr/lib/wine/wine64 /path/Vantrel.exe"; it wins over the argument.
#   VANTREL_NO_FIXTURES=reason leaves out the cases that need OSTRAVEL_POWER_SUPPLY_DIR.
# shellcheck source=SCRIPTDIR/../harness.sh
source "$(dirname "$0")/../harness.sh"

command_line=${VANTREL:-${1:-}}
if [ -z "$command_line" ]; then
  echo "usage: blackbox.sh VANTREL (or set VANTREL)" >&2
  exit 2
fi
read -r -a vantrel <<<"$command_line"
# Each case runs in a folder of its own: a relative program path must not depend on it.
if [[ ${vantrel[0]} == */* && ${vantrel[0]} != /* ]]; then vantrel[0]=$PWD/${vantrel[0]}; fi
export WINEDEBUG=${WINEDEBUG:--all}
no_fixtures=${VANTREL_NO_FIXTURES:-}
unset OSTRAVEL_POWER_SUPPLY_DIR

work=$SCRATCH

# Bounds of every wait; a Windows build under Wine can take seconds to start.
patience=20
record_pattern='^(-1|[0-9]{1,3})#-?[0-9]{1,10}#-?[0-9]{1,10}#[0-9]{1,3}#[0-9]{1,3}#'
usage_text='expected FILE;MILLISECONDS, for example power.txt;5000'

passed=0
failed=0

# --- case bookkeeping ------------------------------------------------------------------

# Starts a case in a fresh, empty folder that becomes the working directory. Its checks
# report with `check`; the case failed if any did.
begin() {
  case_name=$1
  case_failures=$(checks_failed)
  case_dir=$(mktemp -d "$work/case.XXXXXX")
  cd "$case_dir"
}

end() {
  stop_background
  cd "$work"
  if [ "$(checks_failed)" -eq "$case_failures" ]; then
    passed=$((passed + 1))
    echo "ok      $case_name"
  else
    failed=$((failed + 1))
    echo "FAILED  $case_name" >&2
  fi
}

# not_here CASE WHY: a case that does not apply on this machine.
not_here() {
  echo "not run $1: $2"
}

# --- running the program ---------------------------------------------------------------

# Runs vantrel to its end (bounded); sets status, out and err.
run_to_end() {
  status=0
  timeout "$patience" "${vantrel[@]}" "$@" >"$work/stdout" 2>"$work/stderr" || status=$?
  out=$(cat "$work/stdout")
  err=$(cat "$work/stderr")
  [ "$status" -ne 124 ] || check "still running after ${patience}s: $*"
}

# Starts vantrel in the background; its pid is in bg.
start_background() {
  "${vantrel[@]}" "$@" >"$work/bg.stdout" 2>"$work/bg.stderr" &
  bg=$!
  end_at_exit "$bg"
}

stop_background() {
  if [ -n "${bg:-}" ]; then
    kill "$bg" 2>/dev/null || true
    wait "$bg" 2>/dev/null || true
    bg=""
  fi
}

# Waits for the background vantrel to end by itself; sets status and err.
wait_background_end() {
  if wait_until '! kill -0 "$bg" 2>/dev/null' "$patience"; then
    status=0
    wait "$bg" || status=$?
    bg=""
  else
    check "still running after ${patience}s"
    status=124
  fi
  err=$(cat "$work/bg.stderr")
}

# A file's bytes for a message.
contents_of() {
  cat "$1" 2>/dev/null || printf '(no file)'
}

# --- looking at files ------------------------------------------------------------------

# The latest record of a file: everything up to and including its fifth "#".
record_of() {
  local content
  content=$(cat "$1" 2>/dev/null) || return 1
  [[ $content =~ ^(([^#]*#){5}) ]] || return 1
  printf '%s' "${BASH_REMATCH[1]}"
}

has_record() {
  local record
  record=$(record_of "$1") && [[ $record =~ $record_pattern ]]
}

record_is() {
  [ "$(record_of "$1")" = "$2" ]
}

file_is() {
  [ -f "$1" ] && [ "$(cat "$1")" = "$2" ] && [ "$(wc -c <"$1")" -eq "${#2}" ]
}

# The names in the current folder, one a line, hidden ones too.
listing() {
  find . -mindepth 1 -maxdepth 1 -printf '%P\n' | LC_ALL=C sort
}

expect_folder_empty() {
  [ -z "$(listing)" ] || check "files were created: $(listing | tr '\n' ' ')"
}

# One line on stderr, starting with "vantrel: " and holding each further argument.
expect_report() {
  local part
  [[ -n $err && $(printf '%s\n' "$err" | wc -l) -eq 1 ]] || check "report is not one line: $err"
  [[ $err == "vantrel: "* ]] || check "report does not start with 'vantrel: ': $err"
  for part in "$@"; do
    [[ $err == *"$part"* ]] || check "report lacks '$part': $err"
  done
}

expect_status() {
  [ "$status" -eq "$1" ] || check "exit status $status, expected $1 (stderr: $err)"
}

expect_silent() {
  [[ -z $out && -z $err ]] || check "unexpected output: '$out' '$err'"
}

hundred_bytes() {
  local i
  for i in $(seq 10); do printf 'line %03d.\n' "$i"; done
}

# --- fixture power-supply trees (supply and point_at come from the harness) -------------

# On battery: 30 of 40 Wh at 10 W.
#   AC 0; 100*30/40 = 75 %; flag 1 (above 66 %); left 3600*30/10 = 10800 s; full 14400 s.
on_battery_tree() {
  supply "$1" AC TYPE=Mains ONLINE=0
  supply "$1" BAT0 TYPE=Battery STATUS=Discharging PRESENT=1 ENERGY_NOW=30000000 ENERGY_FULL=40000000 \
    POWER_NOW=10000000
}
on_battery_record='0#14400#10800#1#75#'

# Charging on mains: 20 of 40 Wh. AC 1; 50 %; flag 8 (no level bit, charging); times -1.
charging_tree() {
  supply "$1" AC TYPE=Mains ONLINE=1
  supply "$1" BAT0 TYPE=Battery STATUS=Charging PRESENT=1 ENERGY_NOW=20000000 ENERGY_FULL=40000000 \
    POWER_NOW=15000000
}
charging_record='1#-1#-1#8#50#'

# Charging on mains at energy_now of 40 Wh: 100 % (flag 1 + 8 = 9), at 39.6 Wh: 99 %.
charging_at_tree() {
  supply "$1" AC TYPE=Mains ONLINE=1
  supply "$1" BAT0 TYPE=Battery STATUS=Charging PRESENT=1 ENERGY_NOW="$2" ENERGY_FULL=40000000 \
    POWER_NOW=15000000
}

# The program reads the tree through the link "power", which is swapped in one rename.
point_power_at() { point_at power "$1"; }

# =======================================================================================

test_no_argument_text() {
  begin "no argument text: ends at once, silent, no file"
  run_to_end
  expect_status 0
  expect_silent
  expect_folder_empty
  run_to_end ""
  expect_status 0
  expect_silent
  expect_folder_empty
  end
}

test_refused_argument_texts() {
  local text
  for text in "power.txt" "power.txt;" ";" "power.txt;;1000" "power.txt;abc" "power.txt;3000000000" \
    "power.txt;-2147483649" "power.txt;1e3" "power.txt; 1 2"; do
    begin "argument text '$text': status 2, report, no file"
    run_to_end "$text"
    expect_status 2
    expect_report "\"$text\"" "$usage_text"
    [ -z "$out" ] || check "stdout: $out"
    expect_folder_empty
    end
  done
}

test_empty_file_name() {
  begin "argument text ';1000': the first write fails, status 1"
  run_to_end ";1000"
  expect_status 1
  expect_report '""'
  expect_folder_empty
  end
}

test_single_empty_write() {
  local text
  for text in "power.txt;0" "power.txt;-5" "power.txt; -1 " "power.txt;0.5" "power.txt;-0.5" \
    "power.txt;-2147483648"; do
    begin "argument text '$text': one empty write"
    run_to_end "$text"
    expect_status 0
    expect_silent
    [[ -f power.txt && ! -s power.txt ]] || check "power.txt was not created empty"
    [ "$(listing)" = power.txt ] || check "other files: $(listing | tr '\n' ' ')"

    hundred_bytes >power.txt
    cp power.txt original.txt
    run_to_end "$text"
    expect_status 0
    expect_silent
    cmp -s power.txt original.txt || check "an existing power.txt changed"
    end
  done
}

test_single_empty_write_failures() {
  begin "interval 0 into a missing folder or onto a folder: status 1, nothing created"
  run_to_end "missing/power.txt;0"
  expect_status 1
  expect_report "missing/power.txt"
  expect_folder_empty
  mkdir folder
  run_to_end "folder;0"
  expect_status 1
  expect_report '"folder"'
  [[ $(listing) == folder && -d folder ]] || check "the folder was touched"
  end
}

# Texts that start the cycle: the first record appears and the program keeps running.
test_cycling_texts() {
  local text
  for text in "power.txt;2.5" "power.txt;3.5" "power.txt; 250 " "power.txt;+100" "power.txt;1000;extra" \
    "power.txt;1000;;"; do
    begin "argument text '$text': cycles writing power.txt"
    start_background "$text"
    wait_until 'has_record power.txt' "$patience" || check "no record in power.txt"
    kill -0 "$bg" 2>/dev/null || check "the program ended: $(cat "$work/bg.stderr")"
    [ "$(listing)" = power.txt ] || check "files: $(listing | tr '\n' ' ')"
    end
  done
}

test_file_name_ending_with_a_blank() {
  begin "file name ending with a blank, given as one argument or split"
  start_background "power.txt ;1000"
  wait_until 'has_record "power.txt "' "$patience" || check "no record in 'power.txt ' (one argument)"
  stop_background
  [ ! -e power.txt ] || check "power.txt without the blank was written"
  rm -f "power.txt "
  start_background "power.txt" ";1000"
  wait_until 'has_record "power.txt "' "$patience" || check "no record in 'power.txt ' (split arguments)"
  [ "$(listing)" = "power.txt " ] || check "files: $(listing | tr '\n' ' ')"
  end
}

test_first_record_before_the_first_sleep() {
  begin "one-hour interval: the first record is there at once"
  start_background "power.txt;3600000"
  wait_until 'has_record power.txt' "$patience" || check "no record within ${patience}s"
  file_is power.txt "$(record_of power.txt)" || check "power.txt holds more than the record: $(contents_of power.txt)"
  end
}

test_existing_file_keeps_its_length() {
  local record
  begin "an existing 100-byte file keeps its length and tail"
  hundred_bytes >power.txt
  cp power.txt original.txt
  start_background "power.txt;3600000"
  wait_until 'has_record power.txt' "$patience" || check "no record in power.txt"
  record=$(record_of power.txt) || true
  [ "$(wc -c <power.txt)" -eq 100 ] || check "length $(wc -c <power.txt), expected 100"
  cmp -s <(tail -c +$((${#record} + 1)) power.txt) <(tail -c +$((${#record} + 1)) original.txt) ||
    check "the bytes after the record changed"
  end
}

test_deleted_file_is_created_again() {
  begin "the file deleted between two writes is created again with only the record"
  start_background "power.txt;50"
  wait_until 'has_record power.txt' "$patience" || check "no first record"
  rm -f power.txt
  wait_until 'has_record power.txt' "$patience" || check "power.txt was not created again"
  file_is power.txt "$(record_of power.txt)" || check "power.txt holds more than one record: $(contents_of power.txt)"
  end
}

test_write_failure_stops_the_cycle() {
  local record
  begin "the folder vanishes while cycling: status 1, earlier record intact"
  mkdir out
  start_background "out/power.txt;50"
  wait_until 'has_record out/power.txt' "$patience" || check "no first record"
  mv out kept
  record=$(record_of kept/power.txt) || true
  wait_background_end
  expect_status 1
  expect_report "out/power.txt"
  file_is kept/power.txt "$record" || check "the earlier record changed: $(contents_of kept/power.txt)"
  [ ! -e out ] || check "out was created again"
  end

  begin "a FIFO as the file: status 1 at once, no hang waiting for a reader"
  if mkfifo pipe 2>/dev/null; then
    run_to_end "pipe;1000"
    expect_status 1
    expect_report '"pipe"'
  fi
  end

  if [ -e /dev/full ]; then
    begin "a write that fails (device full) while cycling: status 1, earlier record intact"
    ln -s real.txt power.txt
    start_background "power.txt;50"
    wait_until 'has_record real.txt' "$patience" || check "no first record"
    ln -sfn /dev/full power.txt
    record=$(record_of real.txt) || true
    wait_background_end
    expect_status 1
    expect_report '"power.txt"'
    file_is real.txt "$record" || check "the earlier record changed: $(contents_of real.txt)"
    end
  else
    not_here "a write that fails (device full)" "this system has no /dev/full"
  fi

  if [ "$(id -u)" -ne 0 ]; then
    begin "the file made read-only while cycling: status 1, earlier record intact"
    start_background "power.txt;50"
    wait_until 'has_record power.txt' "$patience" || check "no first record"
    chmod 0444 power.txt
    record=$(record_of power.txt) || true
    wait_background_end
    expect_status 1
    expect_report '"power.txt"'
    file_is power.txt "$record" || check "the earlier record changed: $(contents_of power.txt)"
    end
  else
    not_here "the file made read-only while cycling" "running as root, whom file permissions do not stop"
  fi

  begin "the file name is a folder: status 1 at the first write"
  mkdir power.txt
  run_to_end "power.txt;100"
  expect_status 1
  expect_report '"power.txt"'
  [[ -d power.txt && -z $(ls -A power.txt) ]] || check "the folder was touched"
  end
}

# --- cases that read a fixture tree ----------------------------------------------------

test_failed_first_query() {
  begin "a failed first query (no power-supply folder) writes -1#0#0#0#0#"
  OSTRAVEL_POWER_SUPPLY_DIR="$case_dir/none" start_background "power.txt;3600000"
  wait_until 'has_record power.txt' "$patience" || check "no record"
  file_is power.txt "-1#0#0#0#0#" || check "power.txt holds '$(contents_of power.txt)'"
  end

  # An empty folder answers: no battery and no mains supply at all.
  begin "an empty power-supply folder: on mains, no battery"
  mkdir tree
  OSTRAVEL_POWER_SUPPLY_DIR="$case_dir/tree" start_background "power.txt;3600000"
  wait_until 'has_record power.txt' "$patience" || check "no record"
  file_is power.txt "1#-1#-1#128#255#" || check "power.txt holds '$(contents_of power.txt)'"
  end
}

test_record_follows_the_tree() {
  begin "the record follows the power-supply tree as it changes"
  on_battery_tree battery
  charging_tree charging
  point_power_at battery
  OSTRAVEL_POWER_SUPPLY_DIR="$case_dir/power" start_background "power.txt;20"
  wait_until "record_is power.txt '$on_battery_record'" "$patience" || check "on battery: '$(contents_of power.txt)'"
  point_power_at charging
  wait_until "record_is power.txt '$charging_record'" "$patience" || check "charging: '$(contents_of power.txt)'"
  # 13 bytes over 19: the old record's last six bytes stay.
  file_is power.txt "1#-1#-1#8#50##1#75#" || check "whole file: '$(contents_of power.txt)'"
  end
}

test_failed_query_keeps_the_earlier_values() {
  begin "a failed query after a successful one keeps the earlier values"
  on_battery_tree battery
  point_power_at battery
  OSTRAVEL_POWER_SUPPLY_DIR="$case_dir/power" start_background "power.txt;20"
  wait_until "record_is power.txt '$on_battery_record'" "$patience" || check "on battery: '$(contents_of power.txt)'"
  rm power
  wait_until 'record_is power.txt "-1#14400#10800#1#75#"' "$patience" || check "after removal: '$(contents_of power.txt)'"
  file_is power.txt "-1#14400#10800#1#75#" || check "whole file: '$(contents_of power.txt)'"
  end
}

test_shorter_record_leaves_the_tail() {
  begin "a 14-byte record followed by a 13-byte one leaves the last byte"
  charging_at_tree full 40000000
  charging_at_tree nearly 39600000
  point_power_at full
  OSTRAVEL_POWER_SUPPLY_DIR="$case_dir/power" start_background "power.txt;20"
  wait_until 'record_is power.txt "1#-1#-1#9#100#"' "$patience" || check "at 100 %: '$(contents_of power.txt)'"
  point_power_at nearly
  wait_until 'record_is power.txt "1#-1#-1#9#99#"' "$patience" || check "at 99 %: '$(contents_of power.txt)'"
  file_is power.txt "1#-1#-1#9#99##" || check "whole file: '$(contents_of power.txt)'"
  end
}

# --- one reading as a report: --details and --json ------------------------------------

# The layout of --details over two batteries with design values (the values are worked out in
# tests/power/power_details_test.cpp): the system's line, then a block per battery.
details_tree=$(cd "$(dirname "$0")/../fixtures/power" && pwd)/two_batteries_design
details_layout='On battery: 64%, 4 h 52 min left, drawing 10.0 W
BAT0: discharging, 50%
  SMP 5B10W13930, Li-ion
  energy 20.0 of 40.0 Wh, design 50.0 Wh, health 80.0%
  300 cycles, drawing 7.0 W
BAT1: discharging, 80%
  L19L3PD6, Li-poly
  energy 28.8 of 36.0 Wh, design 38.4 Wh, health 93.8%
  12 cycles, drawing 3.0 W'

# Reads --json output with a JSON parser: prints the record its five values make and the
# number of batteries; fails on anything but one object with the documented fields.
json_record() {
  python3 - "$1" <<'PYTHON'
import json, sys
report = json.loads(sys.argv[1])
fields = ["ac_line_status", "battery_flag", "battery_life_percent", "battery_life_time",
          "battery_full_life_time", "seconds_to_full", "draw_watts", "batteries"]
battery_fields = ["name", "manufacturer", "model", "technology", "status", "percent", "energy_now_wh",
                  "energy_full_wh", "energy_full_design_wh", "health_percent", "cycle_count", "draw_watts"]
assert isinstance(report, dict) and list(report) == fields, list(report)
assert all(list(battery) == battery_fields for battery in report["batteries"]), report["batteries"]
order = ["ac_line_status", "battery_full_life_time", "battery_life_time", "battery_flag", "battery_life_percent"]
print("".join("%d#" % report[name] for name in order), len(report["batteries"]))
PYTHON
}

test_details_reports() {
  local tree="" json record count
  [ -z "$no_fixtures" ] && tree=$details_tree
  begin "--details: one report on stdout, status 0, no file touched"
  OSTRAVEL_POWER_SUPPLY_DIR=$tree run_to_end --details
  expect_status 0
  [ -z "$err" ] || check "stderr: $err"
  if [ -n "$tree" ]; then
    [ "$out" = "$details_layout" ] || check "the report differs: $out"
  else
    [[ $out =~ ^(On\ mains|On\ battery|Power\ source\ unknown) ]] || check "no system line: $out"
  fi
  expect_folder_empty
  end

  begin "--json: one object whose five values are the record vantrel writes"
  if ! command -v python3 >/dev/null; then
    [ "${CI:-}" != true ] || check "python3 is missing: scripts/install-deps.sh test"
    not_here "--json" "python3 is missing: scripts/install-deps.sh test"
    end
    return
  fi
  OSTRAVEL_POWER_SUPPLY_DIR=$tree run_to_end --json
  expect_status 0
  json=$out
  read -r record count < <(json_record "$json" 2>"$work/python.err") || check "not the JSON report: $(cat "$work/python.err") $json"
  OSTRAVEL_POWER_SUPPLY_DIR=$tree start_background "power.txt;3600000"
  wait_until 'has_record power.txt' "$patience" || check "no record"
  [ "${record:-}" = "$(record_of power.txt)" ] || check "JSON record '${record:-}', written '$(record_of power.txt)'"
  [ -z "$tree" ] || [ "${count:-}" = 2 ] || check "${count:-no} batteries, expected 2"
  end
}

# =======================================================================================

test_no_argument_text
# Every case reads a steady fixture tree unless it names its own: the machine's own supplies
# change between writes on a discharging laptop, and the record's length with them. (A Windows
# build under Wine reads Wine's answer, which does not change.)
if [ -z "$no_fixtures" ]; then
  charging_tree "$work/steady"
  export OSTRAVEL_POWER_SUPPLY_DIR=$work/steady
fi

test_refused_argument_texts
test_empty_file_name
test_single_empty_write
test_single_empty_write_failures
test_cycling_texts
test_file_name_ending_with_a_blank
test_first_record_before_the_first_sleep
test_existing_file_keeps_its_length
test_deleted_file_is_created_again
test_write_failure_stops_the_cycle
test_details_reports

for fixture_case in test_failed_first_query test_record_follows_the_tree \
  test_failed_query_keeps_the_earlier_values test_shorter_record_leaves_the_tail; do
  if [ -n "$no_fixtures" ]; then
    not_here "$fixture_case" "$no_fixtures"
  else
    "$fixture_case"
  fi
done

echo "$passed passed, $failed failed"
