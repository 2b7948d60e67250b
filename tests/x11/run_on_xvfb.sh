#!/usr/bin/env bash
# Runs a program on a fresh virtual X server of its own: run_on_xvfb.sh PROGRAM [ARGS...]
source "$(dirname "$0")/../x_session.sh"
set +e
start_x "" 640x480
"$@"
