#!/usr/bin/env bash
# Runs Vorlane under Wine. On a display ($DISPLAY) it runs until closed;
# without one it starts a virtual display, waits for the window, saves a
# screenshot, closes the program and stops everything it started.
set -u
VORLANE_BUILD=$(cd "${1:-build}" && pwd)
source "$(dirname "$0")/wine-env.sh"
wine_prefix_ready
exe="$VORLANE_BUILD/Vorlane.exe"

if [ -n "${DISPLAY:-}" ]; then
  exec wine "$exe"
fi

n=80
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
export DISPLAY=":$n"
setsid Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
xvfb=$!
cleanup() {
  wineserver -k >/dev/null 2>&1
  kill "$xvfb" 2>/dev/null
}
trap cleanup EXIT
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done

wine "$exe" </dev/null >/dev/null 2>&1 &
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
sleep 2  # let the first load and painting finish before the picture
shot="$VORLANE_BUILD/screenshot.png"
import -display "$DISPLAY" -window root "$shot"
echo "run: window up; screenshot saved to $shot"
wine taskkill /im Vorlane.exe >/dev/null 2>&1
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
