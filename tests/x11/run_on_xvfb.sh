#!/usr/bin/env bash
# Runs a program on a fresh virtual X server of its own: run_on_xvfb.sh PROGRAM [ARGS...]
# The program's exit status is the script's.
# shellcheck source=SCRIPTDIR/../x_session.sh
source "$(dirname "$0")/../x_session.sh"
start_x bare 640x480
status=0
"$@" || status=$?
exit "$status"
