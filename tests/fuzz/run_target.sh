#!/usr/bin/env bash
# Runs one fuzz target for SECONDS on one core, from seeds drawn from the fixtures.
# Usage: run_target.sh TARGET SECONDS [CORPUS]   (FUZZ_BUILD and SOURCE_DIR in the environment)
# CORPUS keeps what a run finds for the next one; without it the run starts from the seeds.
# Skipped (77) when the fuzz build is missing; under CI (CI=true) that fails instead.
# shellcheck source=SCRIPTDIR/../harness.sh
source "$(dirname "$0")/../harness.sh"
target=$1 seconds=$2 corpus=${3:-}
: "${FUZZ_BUILD:?FUZZ_BUILD names the fuzz build}"
: "${SOURCE_DIR:?SOURCE_DIR names the project}"
export SOURCE_DIR

binary=$FUZZ_BUILD/tests/fuzz/${target}_fuzz
[ -x "$binary" ] || skip "$binary is missing: build it with scripts/fuzz build"

scratch=$SCRATCH
mkdir "$scratch/seeds"
bash "$SOURCE_DIR/tests/fuzz/seeds.sh" "$target" "$scratch/seeds"
if [ -z "$corpus" ]; then corpus=$scratch/corpus; fi
mkdir -p "$corpus"
# An input that breaks a property is kept for replay: $binary FILE
findings=$FUZZ_BUILD/findings
mkdir -p "$findings"

status=0
"$binary" "$corpus" "$scratch/seeds" -max_total_time="$seconds" -max_len=4096 -timeout=20 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$findings/$target-" >"$scratch/log" 2>&1 || status=$?
if [ "$status" -ne 0 ]; then
  tail -n 60 "$scratch/log"
  fail "$target (exit $status); replay with: $binary $findings/$target-*"
fi
executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$scratch/log")
final=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$scratch/log" | tail -n 1 || true)
echo "$target: $executions executions in $seconds s; $final"
