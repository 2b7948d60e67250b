#!/usr/bin/env bash
# The installers and portable zips of both architectures, as scripts/windows leaves them: each
# installer an NSIS program of its architecture carrying the two programs as built (the x86
# one is only checked here, 32-bit programs can't run on this kernel); each zip one folder
# with the two programs as built and a README.txt with Windows line ends that names the
# version.
# shellcheck source=SCRIPTDIR/wine_prefix.sh
source "$(dirname "$0")/wine_prefix.sh"
: "${WIN32_BUILD:?WIN32_BUILD names the x86 cross build}"
: "${VERSION:?VERSION names the project version}"
TOOLS_GROUP=windows require_tools file unzip 7zz

fresh_test_dir
check_packages() { # build arch installer-type program-type
  local build=$1 arch=$2 setup zip folder listing program
  setup=$build/Ostravel-$VERSION-setup-$arch.exe
  zip=$build/Ostravel-$VERSION-portable-$arch.zip
  folder=Ostravel-$VERSION-$arch
  require_cross_build "$setup" "$zip"

  [[ "$(file -b "$setup")" == "$3 executable (GUI)"* ]] || check "$setup is $(file -b "$setup"), not a $3 GUI program"
  grep -qa NullsoftInst "$setup" || check "$setup carries no NSIS installer data"
  7zz e -y -o"$WINE_TEST_DIR/setup-$arch" "$setup" Nevlin.exe Vantrel.exe >/dev/null ||
    check "7zz cannot unpack $setup"
  for program in monitor/Nevlin.exe statuswriter/Vantrel.exe; do
    cmp -s "$WINE_TEST_DIR/setup-$arch/${program#*/}" "$build/$program" ||
      check "${program#*/} in $setup is not the one built in $build"
  done

  listing=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
  [ "$listing" = "$folder/ $folder/Nevlin.exe $folder/README.txt $folder/Vantrel.exe " ] ||
    check "$zip holds $listing"
  unzip -q -d "$WINE_TEST_DIR/$arch" "$zip" || check "$zip does not unpack"
  for program in monitor/Nevlin.exe statuswriter/Vantrel.exe; do
    cmp -s "$WINE_TEST_DIR/$arch/$folder/${program#*/}" "$build/$program" ||
      check "${program#*/} in $zip is not the one built in $build"
    [[ "$(file -b "$WINE_TEST_DIR/$arch/$folder/${program#*/}")" == "$4 executable (GUI)"* ]] ||
      check "${program#*/} in $zip is not a $4 GUI program"
  done
  local readme=$WINE_TEST_DIR/$arch/$folder/README.txt
  grep -q "^Ostravel $VERSION for Windows ($arch)" "$readme" || check "README.txt in $zip does not name $VERSION ($arch)"
  [ "$(grep -c $'\r$' "$readme")" = "$(wc -l <"$readme")" ] || check "README.txt in $zip has lines without a Windows line end"
}
check_packages "$WIN64_BUILD" x64 PE32+ PE32+
check_packages "$WIN32_BUILD" x86 PE32 PE32
