# Sourced by the package tests: the built package, a scratch folder, and the rule for missing
# tools: skipped (77) on a workstation, a failure under CI (CI=true).
set -euo pipefail

: "${PACKAGE_DIR:?PACKAGE_DIR names the folder scripts/package wrote the package to}"
: "${VERSION:?VERSION is the project version}"

# The tests' shell library: scratch folder, fail/note, wait_until, a private X server.
source "$(dirname "${BASH_SOURCE[0]}")/../x_session.sh"
WORK=$X_SESSION_TMP

missing_tool() { skip "$1 is missing: scripts/install-deps.sh package"; }

require_tools dpkg-deb
DEB=$PACKAGE_DIR/ostravel_${VERSION}_amd64.deb
[ -f "$DEB" ] || fail "no $DEB: scripts/package did not build it"

# The package's files under $ROOT, as dpkg would install them.
unpack() {
  ROOT=$WORK/root
  dpkg-deb -x "$DEB" "$ROOT"
}
