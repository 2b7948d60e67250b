# The installers and portable zips of both architectures, as scripts/windows leaves them: each
# installer an NSIS program of its architecture carrying the two programs as built (the x86
# one is only checked here, 32-bit programs can't run on this kernel); each zip one folder
# with the two programs as built and a README.txt with Windows line ends that names the
# version.
source "$(dirname "$0")/wine_prefix.sh"
: "${WIN32_BUILD:?WIN32_BUILD names the x86 cross build}"
: "${VERSION:?VERSION names the project version}"
for tool in file unzip 7zz; do
  command -v "$tool" >/dev/null || skip "$tool is missing: scripts/install-deps.sh windows"
done

status=0
fail() {
  echo "FAIL: $*" >&2
  status=1
}

fresh_test_dir
check() { # build arch installer-type program-type
  local build=$1 arch=$2 setup zip folder listing program
  setup=$build/Ostravel-$VERSION-setup-$arch.exe
  zip=$build/Ostravel-$VERSION-portable-$arch.zip
  folder=Ostravel-$VERSION-$arch
  require_cross_build "$setup" "$zip"

  [[ "$(file -b "$setup")" == "$3 executable (GUI)"* ]] || fail "$setup is $(file -b "$setup"), not a $3 GUI program"
  grep -qa NullsoftInst "$setup" || fail "$setup carries no NSIS installer data"
  7zz e -y -o"$WINE_TEST_DIR/setup-$arch" "$setup" Nevlin.exe Vantrel.exe >/dev/null ||
    fail "7zz cannot unpack $setup"
  for program in monitor/Nevlin.exe statuswriter/Vantrel.exe; do
    cmp -s "$WINE_TEST_DIR/setup-$arch/${program#*/}" "$build/$program" ||
      fail "${program#*/} in $setup is not the one built in $build"
  done

  listing=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
  [ "$listing" = "$folder/ $folder/Nevlin.exe $folder/README.txt $folder/Vantrel.exe " ] ||
    fail "$zip holds $listing"
  unzip -q -d "$WINE_TEST_DIR/$arch" "$zip" || fail "$zip does not unpack"
  for program in monitor/Nevlin.exe statuswriter/Vantrel.exe; do
    cmp -s "$WINE_TEST_DIR/$arch/$folder/${program#*/}" "$build/$program" ||
      fail "${program#*/} in $zip is not the one built in $build"
    [[ "$(file -b "$WINE_TEST_DIR/$arch/$folder/${program#*/}")" == "$4 executable (GUI)"* ]] ||
      fail "${program#*/} in $zip is not a $4 GUI program"
  done
  local readme=$WINE_TEST_DIR/$arch/$folder/README.txt
  grep -q "^Ostravel $VERSION for Windows ($arch)" "$readme" || fail "README.txt in $zip does not name $VERSION ($arch)"
  [ "$(grep -c $'\r$' "$readme")" = "$(wc -l <"$readme")" ] || fail "README.txt in $zip has lines without a Windows line end"
}
check "$WIN64_BUILD" x64 PE32+ PE32+
check "$WIN32_BUILD" x86 PE32 PE32
exit $status
