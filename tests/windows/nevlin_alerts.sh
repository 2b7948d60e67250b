#!/usr/bin/env bash
# Nevlin.exe's battery alerts under Wine: the [Alerts] settings read from the registry (a broken
# value warns once), the battery stepped from 20 to 4 % on battery, the critical alert's icon
# added to the notification area (Wine's system tray comes up), the critical command started
# once after its delay, the icon removed when the mains come back, and nevlin running all
# along with no other warning. Wine reads the power status from /sys/class/power_supply alone,
# so a fixture tree is bind-mounted there in a mount namespace of the test's own (root only).
if [ -z "${NEVLIN_ALERTS_NAMESPACE:-}" ] && unshare -m --propagation private true 2>/dev/null; then
  NEVLIN_ALERTS_NAMESPACE=1 exec unshare -m --propagation private bash "$0" "$@"
fi
# shellcheck source=SCRIPTDIR/wine_prefix.sh
source "$(dirname "$0")/wine_prefix.sh"
[ -n "${NEVLIN_ALERTS_NAMESPACE:-}" ] || skip "a mount namespace of the test's own needs root (unshare -m)"
require_cross_build "$NEVLIN_EXE"
require_tools xdotool xwininfo

shown=$SCRATCH/power_supply # what Wine sees as /sys/class/power_supply
mkdir -p "$shown"
mount --bind "$shown" /sys/class/power_supply || skip "cannot bind a tree over /sys/class/power_supply"

# supplies battery|mains PERCENT: a 12 V battery of 5 Ah drawing 1 A, in the attribute files
# Wine reads; each supply swapped whole by a rename.
supplies() {
  local tree
  tree=$(mktemp -d "$SCRATCH/tree.XXXXXX")
  if [ "$1" = battery ]; then
    supply "$tree" AC TYPE=Mains ONLINE=0
    supply "$tree" BAT0 TYPE=Battery STATUS=Discharging PRESENT=1 VOLTAGE_NOW=12000000 CHARGE_FULL=5000000 \
      CHARGE_NOW=$(($2 * 50000)) CURRENT_NOW=1000000
  else
    supply "$tree" AC TYPE=Mains ONLINE=1
    supply "$tree" BAT0 TYPE=Battery STATUS=Charging PRESENT=1 VOLTAGE_NOW=12000000 CHARGE_FULL=5000000 \
      CHARGE_NOW=$(($2 * 50000)) CURRENT_NOW=1000000
  fi
  point_at "$shown/AC" "$tree/AC"
  point_at "$shown/BAT0" "$tree/BAT0"
}

# Wine's stand-in for the notification area: a window that is mapped while it holds an icon.
tray_shown() { xwininfo -name "Wine System Tray" 2>/dev/null | grep -q IsViewable; }

fresh_test_dir
start_x openbox
start_wine
key='HKCU\Software\VB and VBA Program Settings\Ostravel\Alerts'
for value in Enabled=1 Low=10 Critical=5 Full=x80 'CriticalCommand=cmd /c echo ran>>C:\ran.txt' CriticalDelay=1; do
  "$WINE64" reg add "$key" /v "${value%%=*}" /d "${value#*=}" /f >>"$WINE_TEST_DIR/reg.log" 2>&1 ||
    fail "reg add $value: $(cat "$WINE_TEST_DIR/reg.log")"
done
ran=$WINEPREFIX/drive_c/ran.txt

supplies battery 20
"$WINE64" "$NEVLIN_EXE" >"$WINE_TEST_DIR/nevlin.log" 2>&1 &
nevlin=$!
end_at_exit "$nevlin"
wait_until 'xdotool search --onlyvisible --name "^Ostravel$" >/dev/null 2>&1' 60 ||
  fail "no window titled Ostravel: $(cat "$WINE_TEST_DIR/nevlin.log")"

supplies battery 4
wait_until tray_shown 30 || fail "no icon in the notification area at 4 %: $(cat "$WINE_TEST_DIR/nevlin.log")"
wait_until '[ -s "$ran" ]' 30 || fail "the critical command did not run: $(cat "$WINE_TEST_DIR/nevlin.log")"
supplies mains 4
wait_until '! tray_shown' 30 || fail "the icon stayed after the mains came back"
kill -0 "$nevlin" 2>/dev/null || fail "Nevlin.exe ended: $(cat "$WINE_TEST_DIR/nevlin.log")"

expect "the critical command's runs" "$(tr -d '\r ' <"$ran")" ran
expect "warnings" "$(tr -d '\r' <"$WINE_TEST_DIR/nevlin.log")" \
  "nevlin: HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Ostravel: ignoring [Alerts] Full = \"x80\" (not a whole number from 0 to 100), using 0"
