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
  mkdir -p "$state"
  wine_prefix_ready
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  # Room for the whole window at 192 DPI (1280 x 960 at the least).
  setsid Xvfb ":$n" -screen 0 1600x1200x24 -nolisten tcp -maxclients 2048 </dev/null >/dev/null 2>&1 &
  echo $! >"$state/xvfb.pid"
  echo ":$n" >"$state/display"
  for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  [ -e "/tmp/.X11-unix/X$n" ] || { echo "Xvfb did not start"; exit 1; }
  setsid wineserver -p </dev/null >/dev/null 2>&1 &
  # Start the session's services now, with no output attached: processes
  # started by a test's first Wine run would hold that test's output open.
  DISPLAY=":$n" wineboot </dev/null >/dev/null 2>&1
  echo "test display :$n"
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
