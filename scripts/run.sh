#!/usr/bin/env bash
# Runs Vorlane under Wine. On a display ($DISPLAY) it runs until closed;
# without one it starts a virtual display, waits for the window, saves a
# screenshot of it as a user sees it (frame and caption included), closes
# the program and stops everything it started.
set -u
VORLANE_BUILD=$(cd "${1:-build}" && pwd)
source "$(dirname "$0")/wine-env.sh"
exe="$VORLANE_BUILD/Vorlane.exe"
framed=wineprefix-framed
# Where the kernel runs no 32-bit code, the x64 build in a 64-bit prefix.
if ! runs_i386; then
  VORLANE_ARCH=64
  source "$(dirname "$0")/wine-env.sh"
  exe="$VORLANE_BUILD/Vorlane64.exe"
  framed=wineprefix-framed64
fi

if [ -n "${DISPLAY:-}" ]; then
  wine_prefix_ready
  exec $WINE "$exe"
fi

# Not the tests' prefix: that one places windows for the tests' larger
# display, and there Wine draws no frames.
framed_prefix_ready "$framed"
start_xvfb 1024x768 || exit 1
cleanup() {
  wineserver -k >/dev/null 2>&1 </dev/null
  kill "$XVFB_PID" 2>/dev/null
}
trap cleanup EXIT

$WINE "$exe" </dev/null >/dev/null 2>&1 &
app=$!
found=""
for _ in $(seq 300); do
  found=$(xdotool search --name '^Vorlane  Ver\.' 2>/dev/null | head -n 1)
  [ -n "$found" ] && break
  sleep 0.1
done
if [ -z "$found" ]; then
  echo "run: the window did not appear" >&2
  exit 1
fi
xdotool mousemove 0 767  # the pointer off the window: no entry shows hot
sleep 2  # let the first load and painting finish before the picture
shot="$VORLANE_BUILD/screenshot.png"
eval "$(xdotool getwindowgeometry --shell "$found")"
import -display "$DISPLAY" -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$shot"
echo "run: window up; screenshot saved to $shot"
$WINE taskkill /im "$(basename "$exe")" >/dev/null 2>&1 </dev/null
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
