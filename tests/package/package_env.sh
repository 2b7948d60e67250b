# Sourced by the package tests: the built package, a scratch folder, and the rule for missing
# tools: skipped (77) on a workstation, a failure under CI (CI=true).
set -euo pipefail

: "${PACKAGE_DIR:?PACKAGE_DIR names the folder scripts/package wrote the package to}"
: "${VERSION:?VERSION is the project version}"

WORK=$(mktemp -d "${TMPDIR:-/tmp}/ostravel-package.XXXXXX")
PACKAGE_PIDS=()
package_cleanup() {
  local pid
  for pid in "${PACKAGE_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${PACKAGE_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$WORK"
}
trap package_cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
note() { echo "-- $*"; }

skip() {
  if [ "${CI:-}" = true ]; then fail "$* (under CI every test group must run)"; fi
  echo "SKIPPED: $*"
  exit 77
}

# require_tools TOOL...: each on PATH, or the test cannot run.
require_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || skip "$tool is missing: scripts/install-deps.sh package"
  done
}

require_tools dpkg-deb
DEB=$PACKAGE_DIR/ostravel_${VERSION}_amd64.deb
[ -f "$DEB" ] || fail "no $DEB: scripts/package did not build it"

# The package's files under $ROOT, as dpkg would install them.
unpack() {
  ROOT=$WORK/root
  dpkg-deb -x "$DEB" "$ROOT"
}

# wait_until SECONDS WHAT COMMAND...: polls the command until it succeeds or time runs out.
wait_until() {
  local seconds=$1 what=$2 deadline
  shift 2
  deadline=$((SECONDS + seconds))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || fail "timed out after ${seconds}s waiting for $what"
    sleep 0.05
  done
}
