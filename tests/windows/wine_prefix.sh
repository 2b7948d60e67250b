# Sourced by the Wine tests: a fresh Wine prefix in the test's build folder, quiet Wine,
# and the cross-built programs. Exits 77 (skipped) when the cross build is absent.
set -euo pipefail

: "${WINE64:?WINE64 names the 64-bit wine loader}"
: "${WIN64_BUILD:?WIN64_BUILD names the x86-64 cross build}"
: "${WINE_TEST_DIR:?WINE_TEST_DIR names the test folder}"

WINESERVER=$(dirname "$WINE64")/wineserver
[ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver)

VANTREL_EXE=$WIN64_BUILD/statuswriter/Vantrel.exe
NEVLIN_EXE=$WIN64_BUILD/monitor/Nevlin.exe
LITERAL_LAUNCH_EXE=$WIN64_BUILD/platform/windows/literal_launch.exe
UNIT_TESTS_EXE=$WIN64_BUILD/tests/windows/windows_unit_tests.exe

skip() {
  echo "SKIPPED: $*"
  exit 77
}

require_cross_build() { # files...
  local f
  for f in "$@"; do
    [ -f "$f" ] || skip "$f is missing: build it with scripts/windows"
  done
}

# Empties the test's folder, left from an earlier run.
fresh_test_dir() {
  rm -rf "$WINE_TEST_DIR"
  mkdir -p "$WINE_TEST_DIR"
}

# Creates a fresh prefix and waits until Wine has set it up (the first start takes seconds).
start_wine() {
  mkdir -p "$WINE_TEST_DIR"
  rm -rf "$WINE_TEST_DIR/prefix"
  export WINEPREFIX=$WINE_TEST_DIR/prefix WINEDEBUG=-all
  trap stop_wine EXIT
  "$WINE64" wineboot --init >"$WINE_TEST_DIR/wineboot.log" 2>&1
}

stop_wine() {
  "$WINESERVER" -k 2>/dev/null || true
}

# Waits up to $2 seconds (default 30, tenths allowed) for the command in $1 to succeed, polling.
wait_until() {
  local condition=$1 limit=${2:-30} tries polls
  polls=$(awk -v s="$limit" 'BEGIN { print int(s * 10 + 0.5) }')
  for ((tries = 0; tries < polls; tries++)); do
    if eval "$condition"; then return 0; fi
    sleep 0.1
  done
  return 1
}
