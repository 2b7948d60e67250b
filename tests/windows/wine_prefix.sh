# Sourced by the Wine tests: a fresh Wine prefix in the test's build folder, quiet Wine,
# and the cross-built programs. Exits 77 (skipped) when Wine or the cross build is absent;
# under CI (CI=true) a missing piece fails the test instead, so no group drops out unseen.
set -euo pipefail
# The virtual display (start_virtual_display), wait_until, on_exit.
source "$(dirname "${BASH_SOURCE[0]}")/../x_session.sh"

: "${WIN64_BUILD:?WIN64_BUILD names the x86-64 cross build}"
: "${WINE_TEST_DIR:?WINE_TEST_DIR names the test folder}"

VANTREL_EXE=$WIN64_BUILD/statuswriter/Vantrel.exe
NEVLIN_EXE=$WIN64_BUILD/monitor/Nevlin.exe
LITERAL_LAUNCH_EXE=$WIN64_BUILD/tests/windows/literal_launch.exe
UNIT_TESTS_EXE=$WIN64_BUILD/tests/windows/windows_unit_tests.exe

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

# A tool the display needs: missing, the group is skipped like any other missing tool.
missing_tool() { skip "$1 is missing: scripts/install-deps.sh test"; }

# Creates a fresh prefix and waits until Wine has set it up (the first start takes seconds).
start_wine() {
  mkdir -p "$WINE_TEST_DIR"
  rm -rf "$WINE_TEST_DIR/prefix"
  export WINEPREFIX=$WINE_TEST_DIR/prefix WINEDEBUG=-all
  on_exit stop_wine
  "$WINE64" wineboot --init >"$WINE_TEST_DIR/wineboot.log" 2>&1
}

# Ends Wine in the prefix; the display, if any, ends after it.
stop_wine() {
  [ -n "${WINEPREFIX:-}" ] && "$WINESERVER" -k 2>/dev/null || true
}
