#!/usr/bin/env bash
# Installs what building and testing need on a Debian 12 machine; does nothing
# when everything is already there.
set -euo pipefail

need=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

for p in g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix wine wine32:i386 wine64 \
         xvfb xauth xdotool imagemagick fonts-ipafont-gothic locales cmake g++ googletest libgtest-dev \
         python3 file gnuplot-nox fonts-wine; do
  have_pkg "$p" || need+=("$p")
done

if [ ${#need[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "setup: installing ${need[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  # A mirror caught mid-sync fails an index now and then: try again, and go
  # on to the install, which fails plainly if a package is really missing.
  for try in 1 2 3; do
    $SUDO apt-get update -qq && break
    echo "setup: apt-get update failed (try $try of 3)"
    [ "$try" -lt 3 ] && sleep $((try * 10))
  done
  apt_install() { $SUDO apt-get install -y -qq --no-install-recommends "$@" "${need[@]}" >/dev/null; }
  # The i386 libraries must be the very versions of the amd64 ones; when one
  # architecture's security index could not be read, both come from the
  # release itself.
  release=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  apt_install || { echo "setup: retrying with the packages of $release"; apt_install -t "$release"; }
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
echo "setup: ok"
