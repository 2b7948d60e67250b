# Sourced by the Wine tests: a fresh Wine prefix in the test's build folder, quiet Wine,
# and the cross-built programs. Exits 77 (skipped) when Wine or the cross build is absent;
# under CI (CI=true) a missing piece fails the test instead, so no group drops out unseen.
set -euo pipefail

: "${WIN64_BUILD:?WIN64_BUILD names the x86-64 cross build}"
: "${WINE_TEST_DIR:?WINE_TEST_DIR names the test folder}"


VANTREL_EXE=$WIN64_BUILD/statuswriter/Vantrel.exe
NEVLIN_EXE=$WIN64_BUILD/monitor/Nevlin.exe
LITERAL_LAUNCH_EXE=$WIN64_BUILD/tests/windows/literal_launch.exe
UNIT_TESTS_EXE=$WIN64_BUILD/tests/windows/windows_unit_tests.exe

skip() {
  if [ "${CI:-}" = true ]; then
    echo "FAILED: $* (under CI every test group must run)" >&2
    exit 1
  fi
  echo "SKIPPED: $*"
  exit 77
}

# Debian keeps the 64-bit loader in /usr/lib/wine; other installs put it on PATH.
if [ -z "${WINE64:-}" ]; then
  if [ -x /usr/lib/wine/wine64 ]; then WINE64=/usr/lib/wine/wine64
  else WINE64=$(command -v wine64 || true)
  fi
fi
[ -n "$WINE64" ] || skip "wine64 is missing: scripts/install-deps.sh windows"
WINESERVER=$(dirname "$WINE64")/wineserver
[ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver)

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

require_tools() { # commands...
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || skip "$tool is missing: scripts/install-deps.sh test"
  done
}

# A virtual X server of our own with openbox, as DISPLAY; both end with the test.
started_pids=()
start_virtual_display() {
  require_tools Xvfb openbox xprop
  trap stop_wine EXIT
  # Xvfb picks a free display number and writes it to the file.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$WINE_TEST_DIR/display" >"$WINE_TEST_DIR/xvfb.log" 2>&1 &
  started_pids+=($!)
  wait_until "[ -s '$WINE_TEST_DIR/display' ]" 20 || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=:$(head -1 "$WINE_TEST_DIR/display")
  openbox >"$WINE_TEST_DIR/openbox.log" 2>&1 &
  started_pids+=($!)
  wait_until "xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'" 20 || {
    echo "openbox did not start" >&2
    exit 1
  }
}

# Creates a fresh prefix and waits until Wine has set it up (the first start takes seconds).
start_wine() {
  mkdir -p "$WINE_TEST_DIR"
  rm -rf "$WINE_TEST_DIR/prefix"
  export WINEPREFIX=$WINE_TEST_DIR/prefix WINEDEBUG=-all
  trap stop_wine EXIT
  "$WINE64" wineboot --init >"$WINE_TEST_DIR/wineboot.log" 2>&1
}

# Ends Wine in the prefix, then the display if there is one.
stop_wine() {
  [ -n "${WINEPREFIX:-}" ] && "$WINESERVER" -k 2>/dev/null || true
  local pid
  for pid in "${started_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
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
