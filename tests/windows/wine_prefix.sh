# shellcheck shell=bash
# Sourced by the Wine tests: the shell harness with its session part (the display), a fresh
# Wine prefix in the test's build folder, quiet Wine, and the cross-built programs. A missing
# Wine or cross build skips the test (77), or fails it under CI, as a missing tool does.
# shellcheck source=SCRIPTDIR/../x_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/../x_session.sh"

: "${WIN64_BUILD:?WIN64_BUILD names the x86-64 cross build}"
: "${WINE_TEST_DIR:?WINE_TEST_DIR names the test folder}"

# shellcheck disable=SC2034 # used by the tests that source this file
VANTREL_EXE=$WIN64_BUILD/statuswriter/Vantrel.exe NEVLIN_EXE=$WIN64_BUILD/monitor/Nevlin.exe \
  LITERAL_LAUNCH_EXE=$WIN64_BUILD/tests/windows/literal_launch.exe \
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

# Creates a fresh prefix and waits until Wine has set it up (the first start takes seconds).
# The prefix's server stays up until the test ends, as a Windows session does: by default it
# shuts down 3 s after the last program, and a Wine command that starts while it is going
# down can fail, which a slow machine's pauses between commands make likely.
start_wine() {
  mkdir -p "$WINE_TEST_DIR"
  rm -rf "$WINE_TEST_DIR/prefix"
  export WINEPREFIX=$WINE_TEST_DIR/prefix WINEDEBUG=-all
  mkdir -p "$WINEPREFIX"
  on_exit stop_wine
  "$WINESERVER" -p
  "$WINE64" wineboot --init >"$WINE_TEST_DIR/wineboot.log" 2>&1
}

# The values of a registry key, a line each as reg lists them ("    NAME    REG_SZ    DATA");
# failure when the key is absent, and reg_error then says what reg printed.
reg_key() { "$WINE64" reg query "$1" 2>"$WINE_TEST_DIR/reg_error.log" | tr -d '\r'; }
reg_error() { tr -d '\r' <"$WINE_TEST_DIR/reg_error.log" | tr '\n' ' '; }

# value_of LISTING NAME: the data of a value in reg_key's listing; failure when it is absent.
value_of() {
  local line
  line=$(grep -m 1 -E "^ +$2 +REG_[A-Z_]+( |$)" <<<"$1") || return 1
  sed -E 's/^ +[^ ]+ +REG_[A-Z_]+ *//' <<<"$line"
}

# The data of one registry value, nothing (and failure) when it is absent.
reg_value() { # key name
  local listing
  listing=$(reg_key "$1") || return 1
  value_of "$listing" "$2"
}

# expect_values KEY NAME DATA...: one look at the key, then a check of each value's data.
expect_values() {
  local key=$1 listing data
  shift
  listing=$(reg_key "$key") || { check "no $key ($(reg_error))"; return; }
  while (($# >= 2)); do
    if ! data=$(value_of "$listing" "$1"); then
      check "no \"$1\" under $key"
    elif [ "$data" != "$2" ]; then
      check "\"$1\" under $key is '$data', not '$2'"
    fi
    shift 2
  done
}

# Ends Wine in the prefix; the display, if any, ends after it.
stop_wine() {
  if [ -n "${WINEPREFIX:-}" ]; then "$WINESERVER" -k 2>/dev/null || true; fi
}
