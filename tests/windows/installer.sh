#!/usr/bin/env bash
# The x86-64 installer under Wine in a fresh prefix. A silent install puts both programs, the
# Start menu shortcut and the Apps list entry in place for the current user, without the
# sign-in start; a second one with /AUTOSTART (over the first, as an update) adds the sign-in
# start. The installed Nevlin.exe starts at its saved placement. The silent uninstall named in
# the Apps list entry closes the running Nevlin, removes all the installer made and keeps the
# saved placement.
# shellcheck source=SCRIPTDIR/wine_prefix.sh
source "$(dirname "$0")/wine_prefix.sh"
: "${VERSION:?VERSION names the project version}"
SETUP=$WIN64_BUILD/Ostravel-$VERSION-setup-x64.exe
require_cross_build "$SETUP" "$NEVLIN_EXE" "$VANTREL_EXE"
require_tools xdotool xwininfo strings

UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Ostravel'
RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
PLACEMENT_KEY='HKCU\Software\VB and VBA Program Settings\Ostravel\fNevlin Pos'

fresh_test_dir
# Wine would otherwise copy the Start menu shortcut into this machine's own desktop menus.
export WINEDLLOVERRIDES=winemenubuilder.exe=d
start_x openbox
start_wine

key_exists() { "$WINE64" reg query "$1" >/dev/null 2>&1; }
windows_variable() { "$WINE64" cmd /c echo "%$1%" | tr -d '\r'; }
unix_path() { "$WINE64" winepath -u "$1" | tr -d '\r'; }

dir="$(windows_variable LOCALAPPDATA)\\Programs\\Ostravel"
dir_unix=$(unix_path "$dir")
shortcut_unix=$(unix_path "$(windows_variable APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs\\Nevlin.lnk")

"$WINE64" "$SETUP" /S >"$WINE_TEST_DIR/setup.log" 2>&1 || check "the silent install ended with status $?"

# The programs are the ones built, with the uninstaller beside them.
cmp -s "$dir_unix/Nevlin.exe" "$NEVLIN_EXE" || check "$dir\\Nevlin.exe is not the Nevlin.exe built"
cmp -s "$dir_unix/Vantrel.exe" "$VANTREL_EXE" || check "$dir\\Vantrel.exe is not the Vantrel.exe built"
[ -f "$dir_unix/Uninstall.exe" ] || check "no Uninstall.exe in $dir"
[ -f "$shortcut_unix" ] || check "no Start menu shortcut $shortcut_unix"
strings -a "$shortcut_unix" 2>/dev/null | grep -qiF "$dir\\Nevlin.exe" || check "the shortcut does not start $dir\\Nevlin.exe"

# The Apps list entry; its size is what the folder's files take, in KiB.
expect_values "$UNINSTALL_KEY" DisplayName Ostravel DisplayVersion "$VERSION" DisplayIcon "$dir\\Nevlin.exe,0" \
  Publisher Ostravel InstallLocation "$dir" UninstallString "\"$dir\\Uninstall.exe\"" \
  QuietUninstallString "\"$dir\\Uninstall.exe\" /S" NoModify 0x1 NoRepair 0x1
bytes=$(cat "$dir_unix"/* | wc -c)
size=$(reg_value "$UNINSTALL_KEY" EstimatedSize) || size=0
((size == bytes / 1024)) || check "EstimatedSize is $((size)) KiB, the files take $((bytes / 1024)) KiB"
! reg_value "$RUN_KEY" Nevlin >/dev/null || check "the sign-in start was made without /AUTOSTART"

# /AUTOSTART: the next sign-in starts the installed Nevlin.
"$WINE64" "$SETUP" /S /AUTOSTART >>"$WINE_TEST_DIR/setup.log" 2>&1 || check "the install with /AUTOSTART ended with status $?"
expect_values "$RUN_KEY" Nevlin "\"$dir\\Nevlin.exe\""

# A placement saved before: the installed Nevlin reads it and starts at 100, 100.
for entry in "Height 630" "Width 1680" "Left 1500" "Top 1500"; do
  read -r name data <<<"$entry"
  "$WINE64" reg add "$PLACEMENT_KEY" /v "$name" /t REG_SZ /d "$data" /f >/dev/null 2>&1
done
"$WINE64" "$dir_unix/Nevlin.exe" >"$WINE_TEST_DIR/nevlin.log" 2>&1 &
nevlin_pid=$!
end_at_exit "$nevlin_pid"
window=
wait_until 'window=$(xdotool search --onlyvisible --name "^Ostravel$" 2>/dev/null | head -1); [ -n "$window" ]' 60 ||
  { cat "$WINE_TEST_DIR/nevlin.log" >&2; fail "the installed Nevlin.exe showed no window"; }
origin() { window_geometry "$window" | cut -d' ' -f1-2; }
wait_until '[ "$(origin)" = "100 100" ]' 10 || check "the installed Nevlin started at $(origin), not at its saved 100 100"

# The uninstall the Apps list runs; it copies itself away and returns at once, so the test
# waits for its work to be done.
quiet=$(reg_value "$UNINSTALL_KEY" QuietUninstallString) || quiet=
uninstaller=$(sed -n 's/^"\(.*\)" \/S$/\1/p' <<<"$quiet")
"$WINE64" "$uninstaller" /S >"$WINE_TEST_DIR/uninstall.log" 2>&1 || check "the silent uninstall ended with status $?"
if wait_until "! kill -0 $nevlin_pid 2>/dev/null" 30; then
  wait "$nevlin_pid" || check "Nevlin.exe ended with status $? when the uninstall closed it"
else
  check "the uninstall did not close the running Nevlin"
  kill "$nevlin_pid"
fi
wait_until "[ ! -e '$dir_unix' ]" 60 || check "the uninstall left $dir: $(find "$dir_unix" -mindepth 1 -maxdepth 1 -printf '%P ')"
# The entry goes before the folder, so it is gone by now.
! key_exists "$UNINSTALL_KEY" || check "the uninstall left the Apps list entry"
[ ! -e "$shortcut_unix" ] || check "the uninstall left the Start menu shortcut"
! reg_value "$RUN_KEY" Nevlin >/dev/null || check "the uninstall left the sign-in start"

# The placement stays, as Nevlin saved it when the uninstall closed it.
expect_values "$PLACEMENT_KEY" Left 1500 Top 1500 Width 1680 Height 630

# Another folder (/D=) that holds a file of the user's. The uninstall runs in place (_?= makes
# it wait and report): while Vantrel.exe runs from there it fails and keeps the Apps list
# entry for a second try; then it takes only what the installer put there.
other='C:\Tools\Ostravel'
other_unix=$(unix_path "$other")
mkdir -p "$other_unix"
echo mine >"$other_unix/notes.txt"
"$WINE64" "$SETUP" /S "/D=$other" >>"$WINE_TEST_DIR/setup.log" 2>&1 || check "the install into $other ended with status $?"
[[ -f $other_unix/Nevlin.exe && -f $other_unix/Vantrel.exe ]] || check "/D=$other did not install there"
expect_values "$UNINSTALL_KEY" InstallLocation "$other"
record_unix=$WINEPREFIX/drive_c/power.txt
"$WINE64" "$other_unix/Vantrel.exe" 'C:\power.txt;100' >"$WINE_TEST_DIR/vantrel.log" 2>&1 &
vantrel_pid=$!
end_at_exit "$vantrel_pid"
wait_until "[ -s '$record_unix' ]" 60 || check "the installed Vantrel.exe wrote no record"
if "$WINE64" "$other_unix/Uninstall.exe" /S "_?=$other" >>"$WINE_TEST_DIR/uninstall.log" 2>&1; then
  check "the uninstall reported success while Vantrel.exe ran from $other"
fi
[ -f "$other_unix/Vantrel.exe" ] || check "Vantrel.exe was removed while it ran"
key_exists "$UNINSTALL_KEY" || check "a failed uninstall removed the Apps list entry"
kill "$vantrel_pid"
wait "$vantrel_pid" 2>/dev/null || true
"$WINE64" "$other_unix/Uninstall.exe" /S "_?=$other" >>"$WINE_TEST_DIR/uninstall.log" 2>&1 ||
  check "the second uninstall ended with status $?"
# Uninstall.exe stays too: it ran in place.
left=$(find "$other_unix" -mindepth 1 -maxdepth 1 ! -name Uninstall.exe -printf '%P ')
[ "$left" = "notes.txt " ] || check "the uninstall left '$left' in $other, not the user's notes.txt alone"
! key_exists "$UNINSTALL_KEY" || check "the second uninstall left the Apps list entry"
