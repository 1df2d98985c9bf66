#!/usr/bin/env bash
# Takes the README's pictures of the window as a Windows user sees it: Wine
# draws the frame, the caption and its buttons itself, in a prefix of its
# own on a virtual display, with the tests' Japanese font (framed_prefix_ready).
# A helper process of the tests gives the details panel something to show.
#   screenshots.sh BUILD_DIR OUT_DIR [VORLANE_EXE]
set -euo pipefail
VORLANE_BUILD=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
exe=${3:-$VORLANE_BUILD/Vorlane.exe}
source "$(dirname "$0")/wine-env.sh"
framed_prefix_ready

n=70
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
export DISPLAY=":$n"
setsid Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
xvfb=$!
# Both programs run from folders a user would recognise, as installed, not
# from the build folder: their paths show in the list and the panel.
apps="$WINEPREFIX/drive_c/Program Files"
mkdir -p "$apps/Vorlane" "$apps/Delta"
cp "$exe" "$apps/Vorlane/Vorlane.exe"
cp "$VORLANE_BUILD/win/tests/helper.exe" "$apps/Delta/Delta.exe"
cleanup() {
  wineserver -k >/dev/null 2>&1 </dev/null
  kill "$xvfb" 2>/dev/null
  rm -rf "$apps/Vorlane" "$apps/Delta"
}
trap cleanup EXIT
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done

# The first X window whose name matches, within 30 s.
window() {
  for _ in $(seq 300); do
    xdotool search --name "$1" 2>/dev/null | head -n 1 | grep . && return 0
    sleep 0.1
  done
  echo "screenshots: no window named $1" >&2
  return 1
}
# The program's window, frame included, as a PNG.
shot() {
  eval "$(xdotool getwindowgeometry --shell "$win")"
  import -display "$DISPLAY" -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/$1"
  echo "screenshots: $out/$1"
}
# The pointer on the status bar: no entry of the list stays hot under it.
rest() {
  eval "$(xdotool getwindowgeometry --shell "$win")"
  xdotool mousemove $((X + 300)) $((Y + HEIGHT - 10))
  sleep 1
}
click() {  # a point of the program's window, frame included
  eval "$(xdotool getwindowgeometry --shell "$win")"
  xdotool mousemove $((X + $1)) $((Y + $2)) click 1
  sleep 1
}

wine 'C:\Program Files\Vorlane\Vorlane.exe' </dev/null >/dev/null 2>&1 &
win=$(window '^Vorlane  Ver\.')
sleep 2  # the first load and painting
rest
shot screenshot.png

# A helper started now has the highest process ID: after a reload its entry
# is the last of the list, which is in process ID order.
wine 'C:\Program Files\Delta\Delta.exe' windows 2 Delta </dev/null >/dev/null 2>&1 &
window '^Delta 1$' >/dev/null
sleep 1
click 65 268  # 再読込
sleep 1
click 300 80
xdotool key End
sleep 1
rest
shot details.png

# The application tab, the helper's first window selected.
click 280 35
click 300 80
xdotool key End Up
sleep 1
rest
shot application.png
