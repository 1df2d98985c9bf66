#!/usr/bin/env bash
# Runs a Windows test program under Wine on the test display.
#   wine-test.sh BUILD_DIR PROGRAM.exe [ARGS...]
set -u
VORLANE_BUILD=$(cd "$1" && pwd)
shift
source "$(dirname "$0")/wine-env.sh"
# Before the display is asked for: where no 32-bit program runs, no 32-bit
# prefix and its display were started.
if [ "$(pe_machine "$1")" = 014c ] && ! runs_i386; then
  echo "skipped: this machine's kernel runs no 32-bit x86 code, so no 32-bit Windows program starts"
  exit 77
fi
DISPLAY=$(cat "$VORLANE_STATE/display" 2>/dev/null) || { echo "no test display"; exit 1; }
export DISPLAY
export VORLANE_BUILD
exec $WINE "$@" </dev/null
