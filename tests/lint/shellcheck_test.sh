#!/usr/bin/env bash
# Runs shellcheck over every shell script of the project: those in scripts/, tests/, bench/ and
# .ci/, found by a .sh name or a shell #! line, the libraries they source included. The
# settings (sources followed, checks left out and why) are in .shellcheckrc.
# Usage: shellcheck_test.sh SOURCE_DIR
# shellcheck source=SCRIPTDIR/../harness.sh
source "$(dirname "$0")/../harness.sh"
cd "$1"
require_tools shellcheck

scripts=()
while IFS= read -r -d '' file; do
  if [[ $file == *.sh ]] || head -n 1 "$file" | grep -qE '^#!(/usr/bin/env +|/bin/)(ba)?sh( |$)'; then
    scripts+=("$file")
  fi
done < <(find scripts tests bench .ci -type f ! -path 'tests/fixtures/*' -print0 | LC_ALL=C sort -z)
[ "${#scripts[@]}" -gt 20 ] || fail "only ${#scripts[@]} shell scripts found: ${scripts[*]}"

shellcheck "${scripts[@]}" || fail "shellcheck reports the findings above"
echo "shellcheck $(shellcheck --version | sed -n 's/^version: //p'): ${#scripts[@]} scripts clean"
