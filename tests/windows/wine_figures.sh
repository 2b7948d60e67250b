#!/usr/bin/env bash
# Figures of the Windows programs (not a test): the size of each executable, and the peak
# resident memory of Vantrel.exe and Nevlin.exe under 64-bit Wine after a few seconds of
# running, read from /proc before they are stopped. Run after scripts/windows:
#   tests/windows/wine_figures.sh
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
export WINE64=${WINE64:-/usr/lib/wine/wine64} WIN64_BUILD=${WIN64_BUILD:-$root/build-win64}
export WIN32_BUILD=${WIN32_BUILD:-$root/build-win32} WINE_TEST_DIR=${WINE_TEST_DIR:-$root/build-win64/figures}
# shellcheck source=SCRIPTDIR/wine_prefix.sh
source "$here/wine_prefix.sh"

echo "executable sizes (bytes):"
for build in "$WIN64_BUILD" "$WIN32_BUILD"; do
  for exe in statuswriter/Vantrel.exe monitor/Nevlin.exe; do
    [ -f "$build/$exe" ] && printf '  %-40s %8d\n' "${build##*/}/$exe" "$(stat -c %s "$build/$exe")"
  done
done

peak_kib() { awk '/^VmHWM:/ {print $2}' "/proc/$1/status"; }

fresh_test_dir
start_x openbox
start_wine
echo "peak resident memory under Wine (KiB, VmHWM of the program's own process; the wineserver apart):"

"$WINE64" "$VANTREL_EXE" "$WINE_TEST_DIR/power.txt;300" &
pid=$!
end_at_exit "$pid"
if wait_until "[ -s '$WINE_TEST_DIR/power.txt' ] || ! kill -0 $pid 2>/dev/null" 30 && kill -0 "$pid" 2>/dev/null; then
  sleep 3 # ten cycles
  printf '  %-40s %8s\n' "Vantrel.exe (10 cycles of 300 ms)" "$(peak_kib "$pid")"
  kill "$pid"
else
  echo "  Vantrel.exe wrote no record"
fi

if [ -f "$NEVLIN_EXE" ]; then
  "$WINE64" "$NEVLIN_EXE" &
  pid=$!
  end_at_exit "$pid"
  if wait_until 'xdotool search --onlyvisible --name "^Ostravel$" >/dev/null 2>&1' 60; then
    sleep 3 # ten turns of the loop
    printf '  %-40s %8s\n' "Nevlin.exe (10 turns of 300 ms)" "$(peak_kib "$pid")"
    kill "$pid"
  else
    echo "  Nevlin.exe showed no window"
  fi
fi
