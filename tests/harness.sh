# shellcheck shell=bash
# The general part of the shell harness, sourced by every shell test and benchmark (those that
# need a display source tests/x_session.sh, which adds the session part):
#   - a scratch folder, $SCRATCH, removed at exit;
#   - programs started in the background and ended at exit by process id, latest first;
#   - `fail WHY`, which stops the test, and `check WHY`, which notes a failed check and goes on
#     (the test fails at its end): CONDITION || fail WHY,  CONDITION || check WHY;
#   - `wait_until CONDITION DEADLINE`, the one way to wait for a state;
#   - `skip WHY` and `require_tools`, the one rule for a test that cannot run here;
#   - `supply` and `point_at`, power-supply fixture trees as the kernel shows them.
[ -z "${HARNESS_SOURCED:-}" ] || return 0
HARNESS_SOURCED=yes
set -euo pipefail
# A command that fails outside a condition ends the test (set -e); the log then says which.
set -o errtrace
trap 'echo "FAIL: ${BASH_SOURCE[0]##*/} line $LINENO: \"$BASH_COMMAND\" ended with status $?" >&2' ERR

SCRATCH=$(mktemp -d "${TMPDIR:-/tmp}/ostravel-test.XXXXXX")
HARNESS_PIDS=()
HARNESS_EXIT_HOOKS=()
# One line per failed check; a file, so that checks made in a subshell count too.
HARNESS_FAILED_CHECKS=$SCRATCH/.failed-checks
: >"$HARNESS_FAILED_CHECKS"
# The group of scripts/install-deps.sh that brings the tools a test needs.
TOOLS_GROUP="test"

# on_exit COMMAND: run at exit, before the started programs are ended (latest first).
on_exit() { HARNESS_EXIT_HOOKS=("$1" "${HARNESS_EXIT_HOOKS[@]}"); }

# end_at_exit PID: the process is ended at exit, after those started later.
end_at_exit() { HARNESS_PIDS+=("$1"); }

# The end of every test: hooks, then the programs, latest first and each ended before the next
# (so a program ends before the X server it talks to), then the verdict of the checks.
harness_exit() {
  local status=$? hook pid i failed
  trap - EXIT
  for hook in "${HARNESS_EXIT_HOOKS[@]}"; do eval "$hook" || true; done
  for ((i = ${#HARNESS_PIDS[@]} - 1; i >= 0; i--)); do
    pid=${HARNESS_PIDS[i]}
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  failed=$(checks_failed)
  if ((failed > 0)); then
    echo "FAIL: $failed check(s) failed" >&2
    # A test that stopped early, or skipped what was left, still failed its checks.
    if ((status == 0 || status == 77)); then status=1; fi
  fi
  cd /
  chmod -R u+w "$SCRATCH" 2>/dev/null || true
  rm -rf "$SCRATCH"
  exit "$status"
}
trap harness_exit EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

note() { echo "-- $*"; }

# fail WHY: the test stops here, failed.
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# check WHY: a check failed; the test goes on and fails at its end.
check() {
  echo "FAIL: $*" >&2
  printf '%s\n' "$*" >>"$HARNESS_FAILED_CHECKS"
}

# checks_failed: how many checks have failed so far.
checks_failed() { wc -l <"$HARNESS_FAILED_CHECKS"; }

# skip WHY: the test cannot run here. Skipped (status 77) on a workstation; under CI (CI=true),
# where no test may drop out unseen, a failure.
skip() {
  if [ "${CI:-}" = true ]; then fail "$* (under CI every test must run)"; fi
  echo "SKIPPED: $*"
  exit 77
}

# require_tools TOOL...: each on PATH, else the test is skipped naming the missing one.
require_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || skip "$tool is missing: scripts/install-deps.sh $TOOLS_GROUP"
  done
}

# wait_until CONDITION DEADLINE: evaluates the shell CONDITION every tenth of a second until it
# holds (status 0) or about DEADLINE seconds (tenths allowed) have passed (status 1). The
# deadline counts polls, so a slow CONDITION on a loaded machine gets its full number of tries.
wait_until() {
  # Names of their own: CONDITION sees the caller's variables.
  local wait_condition=$1 wait_polls wait_tries
  wait_polls=$(awk -v s="$2" 'BEGIN { print int(s * 10 + 0.5) }')
  for ((wait_tries = 0; wait_tries <= wait_polls; wait_tries++)); do
    if eval "$wait_condition"; then return 0; fi
    ((wait_tries == wait_polls)) || sleep 0.1
  done
  return 1
}

# wait_for WHAT COMMAND...: waits up to 10 s for COMMAND to succeed, else fails naming WHAT.
wait_for() {
  local what=$1
  shift
  wait_until "$(printf '%q ' "$@")" 10 || fail "timed out waiting for $what"
}

# expect WHAT ACTUAL EXPECTED: the test stops unless they are equal.
expect() {
  [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"
  note "$1: $2"
}

# expect_soon WHAT COMMAND EXPECTED [DEADLINE]: waits (10 s unless given) for the output of the
# shell COMMAND to be EXPECTED, then checks it like expect, naming the last output on failure.
expect_soon() {
  local what=$1 command=$2 wanted=$3 got=""
  wait_until "got=\$($command); [ \"\$got\" = \"\$wanted\" ]" "${4:-10}" || true
  expect "$what" "$got" "$wanted"
}

# run_bg NAME COMMAND...: starts a program in the background, its output in $SCRATCH/NAME.out
# and NAME.err; its pid is in LAST_PID, and it is ended at exit.
run_bg() {
  local name=$1
  shift
  "$@" >"$SCRATCH/$name.out" 2>"$SCRATCH/$name.err" &
  LAST_PID=$!
  end_at_exit "$LAST_PID"
}

# supply TREE NAME KEY=VALUE...: a power supply as the kernel shows it, its uevent and one
# attribute file per property (STATUS=Charging gives POWER_SUPPLY_STATUS=Charging and status).
supply() {
  local dir=$1/$2 pair
  shift 2
  mkdir -p "$dir"
  printf 'POWER_SUPPLY_NAME=%s\n' "${dir##*/}" >"$dir/uevent"
  for pair in "$@"; do
    printf 'POWER_SUPPLY_%s\n' "$pair" >>"$dir/uevent"
    printf '%s\n' "${pair#*=}" >"$dir/$(printf '%s' "${pair%%=*}" | tr '[:upper:]' '[:lower:]')"
  done
}

# point_at LINK TREE: LINK names TREE from now on, swapped in one rename, so that a running
# program reading through LINK never sees a tree half written.
point_at() {
  ln -sfn "$2" "$1.next"
  mv -Tf "$1.next" "$1"
}
