#!/usr/bin/env bash
# The black-box suite of vantrel, run unchanged against Vantrel.exe under Wine. The literal
# launcher hands Vantrel.exe the arguments joined with single blanks, as vantrel gets them.
# shellcheck source=SCRIPTDIR/wine_prefix.sh
source "$(dirname "$0")/wine_prefix.sh"
suite=$SOURCE_DIR/tests/statuswriter/blackbox.sh
[ -f "$suite" ] || skip "the vantrel black-box suite ($suite) is not in this tree"
require_cross_build "$VANTREL_EXE" "$LITERAL_LAUNCH_EXE"
fresh_test_dir
start_wine
export VANTREL="$WINE64 $LITERAL_LAUNCH_EXE $VANTREL_EXE"
export VANTREL_NO_FIXTURES="Wine reads this machine's own power supply, not a fixture tree"
bash "$suite"
