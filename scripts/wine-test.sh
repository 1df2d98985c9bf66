#!/usr/bin/env bash
# Runs a Windows test program under Wine on the test display.
#   wine-test.sh BUILD_DIR PROGRAM.exe [ARGS...]
set -u
VORLANE_BUILD=$(cd "$1" && pwd)
shift
source "$(dirname "$0")/wine-env.sh"
DISPLAY=$(cat "$VORLANE_STATE/display" 2>/dev/null) || { echo "no test display"; exit 1; }
export DISPLAY
export VORLANE_BUILD
exec wine "$@" </dev/null
