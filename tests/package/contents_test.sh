#!/usr/bin/env bash
# The package holds exactly the listed files (nothing from the build tree, no test or
# benchmark program), with the control fields it should have.
# shellcheck source=SCRIPTDIR/package_env.sh
source "$(dirname "$0")/package_env.sh"

dpkg-deb --fsys-tarfile "$DEB" | tar -t | sed 's|^\./|/|' | grep -v '/$' | LC_ALL=C sort >"$WORK/files"
LC_ALL=C sort "$(dirname "$0")/files.txt" >"$WORK/expected"
diff -u "$WORK/expected" "$WORK/files" || fail "the package's files differ from files.txt (- expected, + packaged)"
note "files: $(wc -l <"$WORK/files") as listed"

field() { dpkg-deb -f "$DEB" "$1"; }
[ "$(field Package)" = ostravel ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$VERSION" ] || fail "Version $(field Version), the project's is $VERSION"
[ "$(field Architecture)" = amd64 ] || fail "Architecture: $(field Architecture)"
depends=$(field Depends)
# Computed from the programs' libraries: the C library, Xlib, Xft, XInput2, XRandR, GLib, and
# the Wayland panel's libwayland, xkbcommon and cairo.
for library in libc6 libstdc++6 libx11-6 libxft2 libxi6 libxrandr2 libglib2.0-0 libwayland-client0 \
  libxkbcommon0 libcairo2; do
  [[ ", $depends," == *", $library "* ]] || fail "Depends lacks $library: $depends"
done
note "Depends: $depends"
[ "$(field Installed-Size)" -gt 0 ] || fail "no Installed-Size"

# Owned by root, programs executable, everything else plain readable files.
dpkg-deb -c "$DEB" | awk '$2 != "root/root" { print "owner " $2 " of " $6; bad = 1 }
  $6 ~ /^\.\/usr\/bin\/./ && $1 != "-rwxr-xr-x" { print "mode " $1 " of " $6; bad = 1 }
  $6 !~ /^\.\/usr\/bin\/./ && $1 ~ /^-/ && $1 != "-rw-r--r--" { print "mode " $1 " of " $6; bad = 1 }
  END { exit bad }' || fail "owners or modes above"

# The programs say the same version as the package.
unpack
for program in nevlin vantrel; do
  shown=$(env -u DISPLAY "$ROOT/usr/bin/$program" --version)
  [ "$shown" = "$program (Ostravel) $VERSION" ] || fail "$program --version: $shown"
done

# Each icon is the size its folder says, and the 32-pixel one is the program's own drawing.
require_tools identify compare
for png in "$ROOT"/usr/share/icons/hicolor/*/apps/ostravel.png; do
  size=$(basename "$(dirname "$(dirname "$png")")")
  [ "$(identify -format '%wx%h' "$png")" = "$size" ] || fail "$png is $(identify -format '%wx%h' "$png")"
done
icon32=$ROOT/usr/share/icons/hicolor/32x32/apps/ostravel.png
[ "$(compare -metric AE "$SOURCE_DIR/monitor/art/percent32_256colour.xpm" "$icon32" null: 2>&1)" = 0 ] ||
  fail "the 32-pixel icon differs from monitor/art/percent32_256colour.xpm"
echo "contents: ok"
