#!/usr/bin/env bash
# Starts or stops what the Wine tests share: a virtual display and one
# wineserver for the project's prefix. Nothing it starts holds the caller's
# output open.
#   test-env.sh start BUILD_DIR | stop BUILD_DIR
set -u
cmd=$1
VORLANE_BUILD=$(cd "$2" && pwd)
source "$(dirname "$0")/wine-env.sh"
state="$VORLANE_STATE"

start() {
  stop_all
  if [ "$WINEARCH" = win32 ] && ! runs_i386; then
    echo "no 32-bit prefix: this machine's kernel runs no 32-bit x86 code"
    return 0
  fi
  mkdir -p "$state"
  wine_prefix_ready
  # Room for the whole window at 192 DPI (1280 x 960 at the least).
  start_xvfb 1600x1200 -maxclients 2048 || exit 1
  echo "$XVFB_PID" >"$state/xvfb.pid"
  echo "$DISPLAY" >"$state/display"
  setsid wineserver -p </dev/null >/dev/null 2>&1 &
  # Start the session's services now, with no output attached: processes
  # started by a test's first Wine run would hold that test's output open.
  $WINE wineboot </dev/null >/dev/null 2>&1
  echo "test display $DISPLAY"
}

stop_all() {
  wineserver -k >/dev/null 2>&1 </dev/null
  if [ -f "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null
    rm -f "$state/xvfb.pid"
  fi
  return 0
}

case "$cmd" in
  start) start ;;
  stop) stop_all; echo "test environment stopped" ;;
esac
