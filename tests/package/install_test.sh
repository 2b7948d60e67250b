#!/usr/bin/env bash
# "cmake --install BUILD --prefix DIR" puts the package's files under DIR, less what only the
# Debian package adds (copyright, changelog, compressed manual pages), and its user unit
# starts DIR/bin/vantrel.   Usage: install_test.sh BUILD
# shellcheck source=SCRIPTDIR/../harness.sh
source "$(dirname "$0")/../harness.sh"
build=$1
work=$SCRATCH

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
(cd "$prefix" && find . -type f | sed 's|^\.|/usr|' | LC_ALL=C sort) >"$work/installed"
grep -vE '/(copyright|changelog\.gz)$' "$(dirname "$0")/files.txt" | sed 's|\.gz$||' | LC_ALL=C sort >"$work/expected"
diff -u "$work/expected" "$work/installed" || fail "installed files differ (- expected, + installed)"

unit=$prefix/lib/systemd/user/vantrel.service
grep -qxF "ExecStart=$prefix/bin/vantrel \${VANTREL_FILE};\${VANTREL_INTERVAL}" "$unit" ||
  fail "the unit does not start $prefix/bin/vantrel: $(grep ExecStart "$unit")"
"$prefix/bin/vantrel" --version >/dev/null || fail "the installed vantrel does not run"
echo "install: $(wc -l <"$work/installed") files under the prefix"
