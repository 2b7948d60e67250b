#!/usr/bin/env bash
# The package and what it installs pass the field's own validators: lintian, the desktop entry
# and AppStream validators, groff with its warnings on, and systemd's unit checker.
# shellcheck source=SCRIPTDIR/package_env.sh
source "$(dirname "$0")/package_env.sh"
require_tools lintian desktop-file-validate appstreamcli man systemd-analyze
unpack

# lintian: no error and no warning (info and pedantic notes are reported, not failed).
lintian --pedantic "$DEB" >"$WORK/lintian" 2>&1 || true
grep -v '^running with root privileges' "$WORK/lintian" || true
! grep -qE '^[EW]: ' "$WORK/lintian" || fail "lintian reports errors or warnings"
note "lintian: $(grep -cE '^[IPX]: ' "$WORK/lintian" || true) notes, no error or warning"

desktop=$ROOT/usr/share/applications/org.ostravel.Ostravel.desktop
desktop-file-validate "$desktop" >"$WORK/desktop" 2>&1 || { cat "$WORK/desktop"; fail "desktop-file-validate"; }
[ ! -s "$WORK/desktop" ] || { cat "$WORK/desktop"; fail "desktop-file-validate has remarks"; }
note "desktop-file-validate: clean"

appstreamcli validate --no-net "$ROOT/usr/share/metainfo/org.ostravel.Ostravel.metainfo.xml" ||
  fail "appstreamcli validate"

# Every page renders without a groff warning.
for page in "$ROOT"/usr/share/man/man1/*.1.gz; do
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" >"$WORK/page" 2>"$WORK/warnings" || fail "man -l $page"
  [ ! -s "$WORK/warnings" ] || { cat "$WORK/warnings"; fail "groff warnings in $(basename "$page")"; }
  grep -q '^EXIT STATUS' "$WORK/page" || fail "$(basename "$page") renders no EXIT STATUS section"
done
note "manual pages: no groff warnings"

# systemd checks the unit as the user's manager would load it. The packaged unit starts the
# packaged /usr/bin/vantrel; the check runs a copy that names the unpacked program instead,
# and finds the manual page of Documentation= in the unpacked tree.
unit=$ROOT/usr/lib/systemd/user/vantrel.service
grep -qx 'ExecStart=/usr/bin/vantrel ${VANTREL_FILE};${VANTREL_INTERVAL}' "$unit" ||
  fail "ExecStart does not run /usr/bin/vantrel: $(grep ExecStart "$unit")"
mkdir -p "$WORK/units" && mkdir -m 0700 "$WORK/runtime"
sed "s|=/usr/bin/vantrel |=$ROOT/usr/bin/vantrel |" "$unit" >"$WORK/units/vantrel.service"
XDG_RUNTIME_DIR=$WORK/runtime MANPATH=$ROOT/usr/share/man \
  systemd-analyze --user verify "$WORK/units/vantrel.service" >"$WORK/verify" 2>&1 ||
  { cat "$WORK/verify"; fail "systemd-analyze --user verify"; }
[ ! -s "$WORK/verify" ] || { cat "$WORK/verify"; fail "systemd-analyze has remarks"; }
note "systemd-analyze --user verify: clean"
echo "validators: ok"
