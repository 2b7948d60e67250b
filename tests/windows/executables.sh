#!/usr/bin/env bash
# Both architectures are built, each program a single GUI-subsystem executable that needs
# no DLL beyond the system's, carrying the product name, the icon and the manifest.
# shellcheck source=SCRIPTDIR/wine_prefix.sh
source "$(dirname "$0")/wine_prefix.sh"
: "${WIN32_BUILD:?WIN32_BUILD names the x86 cross build}"
OBJDUMP=x86_64-w64-mingw32-objdump
WINDRES=x86_64-w64-mingw32-windres
TOOLS_GROUP=windows require_tools "$OBJDUMP" "$WINDRES"

programs=(statuswriter/Vantrel.exe)
[ -f "$SOURCE_DIR/monitor/main.cpp" ] && programs+=(monitor/Nevlin.exe)
for build in "$WIN64_BUILD" "$WIN32_BUILD"; do
  for p in "${programs[@]}"; do require_cross_build "$build/$p"; done
done

system_dlls='^(kernel32|user32|gdi32|advapi32|shell32|version|msvcrt|ole32|comctl32|shcore|msimg32|setupapi)\.dll$'
check_exe() { # exe expected-format
  local exe=$1 format=$2 headers resources dll
  headers=$("$OBJDUMP" -p "$exe")
  grep -q "file format $format" <<<"$headers" || check "$exe is not $format"
  grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" || check "$exe is not a GUI-subsystem program"
  while read -r dll; do
    [[ ${dll,,} =~ $system_dlls ]] || check "$exe needs $dll, which Windows does not have"
  done < <(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
  resources=$("$WINDRES" -i "$exe" -O rc)
  grep -q 'VALUE "ProductName", "Ostravel"' <<<"$resources" || check "$exe has no ProductName \"Ostravel\""
  grep -q 'dpiAware' <<<"$resources" || check "$exe has no dpi-aware manifest"
  if [ -f "$SOURCE_DIR/monitor/art/percent.ico" ]; then
    grep -q 'GROUP_ICON' <<<"$resources" || check "$exe has no icon"
  fi
}

for p in "${programs[@]}"; do
  check_exe "$WIN64_BUILD/$p" pei-x86-64
  check_exe "$WIN32_BUILD/$p" pei-i386
done
