# Sourced by every script that runs Wine: one prefix of the project's own,
# Japanese locale, quiet, no install prompts.
: "${VORLANE_BUILD:=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build}"
export WINEPREFIX="$VORLANE_BUILD/wineprefix"
export WINEARCH=win32
export WINEDEBUG=-all
# A crash ends the program at once instead of waiting in the debugger.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8

# Creates the prefix on first use; concurrent callers wait for the first.
wine_prefix_ready() {
  mkdir -p "$VORLANE_BUILD"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.vorlane-ready" ]; then
      rm -rf "$WINEPREFIX"
      wineboot -i >/dev/null 2>&1 </dev/null
      # The proportional IPA face stands in for the Japanese UI font.
      wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' \
        /d 'IPAPGothic' /f >/dev/null 2>&1 </dev/null
      wineserver -w
      touch "$WINEPREFIX/.vorlane-ready"
    fi
  ) 9>"$VORLANE_BUILD/.wineprefix.lock"
}
