#!/usr/bin/env bash
# The Windows-only unit tests, run under Wine.
# shellcheck source=SCRIPTDIR/wine_prefix.sh
source "$(dirname "$0")/wine_prefix.sh"
require_cross_build "$UNIT_TESTS_EXE"
fresh_test_dir
start_wine
timeout 120 "$WINE64" "$UNIT_TESTS_EXE"
