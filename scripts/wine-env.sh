# Sourced by every script that runs Wine: one prefix of the project's own,
# Japanese locale, quiet, no install prompts. VORLANE_ARCH=64 selects the
# 64-bit prefix (32-bit Windows programs run there under WOW64), with its
# own test state (display, wineserver).
: "${VORLANE_BUILD:=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build}"
if [ "${VORLANE_ARCH:-32}" = 64 ]; then
  export WINEPREFIX="$VORLANE_BUILD/wineprefix64"
  export WINEARCH=win64
  VORLANE_STATE="$VORLANE_BUILD/test-env64"
else
  export WINEPREFIX="$VORLANE_BUILD/wineprefix"
  export WINEARCH=win32
  VORLANE_STATE="$VORLANE_BUILD/test-env"
fi
# Some virtual machines' kernels run no 32-bit x86 code at all: there no
# 32-bit Windows program starts, and the 64-bit prefix is driven by the
# 64-bit loader alone (the `wine` script would pick the 32-bit one).
runs_i386() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
WINE=wine
if [ "${VORLANE_ARCH:-32}" = 64 ] && ! runs_i386; then
  WINE=/usr/lib/wine/wine64
  export WINELOADER=$WINE
fi
# The machine type of a Windows program: 014c (x86) or 8664 (x64).
pe_machine() {
  local at
  at=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  od -An -tx2 -j$((at + 4)) -N2 "$1" 2>/dev/null | tr -d ' '
}
export WINEDEBUG=-all
# winedbg disabled: a program that faults ends at once (its fault address
# printed) instead of waiting in Wine's debugger until something kills it.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
# The system code page of the programs started (932); a test may ask for another.
export LANG=${VORLANE_LOCALE:-ja_JP.UTF-8}
export LC_ALL=$LANG

# Creates the prefix on first use; concurrent callers wait for the first.
wine_prefix_ready() {
  mkdir -p "$VORLANE_BUILD"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.vorlane-ready" ]; then
      rm -rf "$WINEPREFIX"
      $WINE wineboot -i >/dev/null 2>&1 </dev/null
      # The proportional IPA face stands in for the Japanese UI font.
      $WINE reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' \
        /d 'IPAPGothic' /f >/dev/null 2>&1 </dev/null
      wineserver -w
      touch "$WINEPREFIX/.vorlane-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
}

# Starts Xvfb on a display that no other server holds, chosen by the server
# itself (two runs side by side never share one); sets XVFB_PID and DISPLAY.
#   start_xvfb WIDTHxHEIGHT [more Xvfb arguments]
start_xvfb() {
  local size=$1 fifo
  shift
  fifo=$(mktemp -u /tmp/vorlane-xvfb.XXXXXX)
  mkfifo "$fifo"
  setsid Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp "$@" 3>"$fifo" </dev/null >/dev/null 2>&1 &
  XVFB_PID=$!
  local n=""
  read -r -t 20 n <"$fifo" || true
  rm -f "$fifo"
  [ -n "$n" ] && kill -0 "$XVFB_PID" 2>/dev/null || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$n"
}

# Switches to the prefix whose windows Wine frames itself, as a Windows user
# sees them: X11 driver setting "Decorated" = N, Marlett (of fonts-wine) for
# the caption buttons, and the caption's face, "MS Shell Dlg", drawn with the
# IPA face of the tests, as a Japanese Windows draws it with its UI face. It
# only ever meets 1,024 x 768 displays: a prefix remembers the display's
# size and places windows for it.
framed_prefix_ready() {
  export WINEPREFIX="$VORLANE_BUILD/${1:-wineprefix-framed}"
  wine_prefix_ready
  $WINE reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1 </dev/null
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  $WINE reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
    /v 'MS Shell Dlg' /d 'IPAPGothic' /f >/dev/null 2>&1 </dev/null
}
