#!/usr/bin/env bash
# Runs two builds of the program side by side on one virtual display (same
# processes listed by both), drives both through the same states with real
# clicks, and compares each state's pixels.
#   compare-screens.sh OLD.exe NEW.exe OUTDIR [AREA]   (prints the differing pixels per state)
# AREA ("X0,Y0,X1,Y1" in window pixels) names a part where the two may
# differ: the pixels there are counted apart from the rest.
set -u
old=$1; new=$2; out=$3; area=${4:-}
mkdir -p "$out"
VORLANE_BUILD=$(cd "$(dirname "$0")/.." && pwd)/build
source "$(dirname "$0")/wine-env.sh"
wine_prefix_ready
dir=$(mktemp -d)
cp "$old" "$dir/VorlaneA.exe"; cp "$new" "$dir/VorlaneB.exe"
n=71; while [ -e /tmp/.X11-unix/X$n ]; do n=$((n+1)); done
export DISPLAY=:$n
Xvfb $DISPLAY -screen 0 1400x1000x24 -nolisten tcp >/dev/null 2>&1 & xvfb=$!
trap 'wineserver -k; kill $xvfb; rm -rf "$dir"' EXIT
for _ in $(seq 100); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
wineserver -p; wineboot >/dev/null 2>&1
wait_win() { for _ in $(seq 300); do w=$(xdotool search --name "$1" 2>/dev/null | head -1); [ -n "$w" ] && { echo $w; return; }; sleep 0.1; done; echo "no window $1" >&2; exit 1; }
(cd "$dir" && wine VorlaneA.exe >/dev/null 2>&1 &)
a=$(wait_win '^Vorlane  Ver')
sleep 2; xdotool windowmove $a 20 20
sleep 1
(cd "$dir" && wine VorlaneB.exe >/dev/null 2>&1 &)
for _ in $(seq 300); do b=$(xdotool search --name '^Vorlane  Ver' | grep -v "^$a$" | head -1); [ -n "$b" ] && break; sleep 0.1; done
sleep 2; xdotool windowmove $b 720 20
sleep 2
# Each window is shot right after its own click, while it is the active one.
step() { # NAME X Y
  for w in a b; do
    id=${!w}; eval $(xdotool getwindowgeometry --shell $id)
    xdotool mousemove $((X+$2)) $((Y+$3)) click 1; sleep 1.5
    xdotool mousemove 1390 990; sleep 1
    import -display $DISPLAY -window root "$dir/root.png"
    convert "$dir/root.png" -crop ${WIDTH}x${HEIGHT}+${X}+${Y} +repage "$out/$1_$w.png"
  done
}
step empty 65 243      # 再読込 on the button bar: each lists the other
step selected 300 110  # the second entry
step apptab 270 12     # the application tab
for w in a b; do
  id=${!w}; eval $(xdotool getwindowgeometry --shell $id)
  xdotool mousemove $((X+585)) $((Y+385)) click 1; sleep 1.5
  d=$(xdotool search --name '^確認$' | head -1)
  [ -n "$d" ] || { echo "no dialog"; continue; }
  eval $(xdotool getwindowgeometry --shell $d)
  import -display $DISPLAY -window root "$dir/root.png"
  convert "$dir/root.png" -crop ${WIDTH}x${HEIGHT}+${X}+${Y} +repage "$out/dialog_$w.png"
  xdotool key Escape; sleep 1
done
for s in empty selected apptab dialog; do
  printf '%s: ' $s; compare -metric AE "$out/${s}_a.png" "$out/${s}_b.png" "$out/${s}_diff.png" 2>&1
  if [ -n "$area" ] && [ "$s" != dialog ]; then
    for w in a b; do convert "$out/${s}_$w.png" -fill magenta -draw "rectangle ${area}" "$dir/masked_$w.png"; done
    printf ' (outside the named area: '; compare -metric AE "$dir/masked_a.png" "$dir/masked_b.png" null: 2>&1; printf ')'
  fi
  echo
done
