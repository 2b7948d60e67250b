# shellcheck shell=bash
# Sourced by the package tests: the shell harness, the built package and its scratch folder.
# Their tools come with the package group of scripts/install-deps.sh.
# shellcheck source=SCRIPTDIR/../harness.sh
source "$(dirname "${BASH_SOURCE[0]}")/../harness.sh"
TOOLS_GROUP="package"

: "${PACKAGE_DIR:?PACKAGE_DIR names the folder scripts/package wrote the package to}"
: "${VERSION:?VERSION is the project version}"

WORK=$SCRATCH
require_tools dpkg-deb
DEB=$PACKAGE_DIR/ostravel_${VERSION}_amd64.deb
[ -f "$DEB" ] || fail "no $DEB: scripts/package did not build it"

# The package's files under $ROOT, as dpkg would install them.
unpack() {
  ROOT=$WORK/root
  dpkg-deb -x "$DEB" "$ROOT"
}
