#!/usr/bin/env bash
# Builds the release configuration (size-optimised, stripped, static) of both
# programs and packs dist/Vorlane-<version>.zip with its SHA-256 checksum file.
#   dist.sh BUILD_DIR
# The zip's timestamps are the commit's time, so one commit gives one zip.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
release="$1/release"
cmake -S "$root" -B "$release" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
cmake --build "$release" --target Vorlane -j "${JOBS:-2}"
cmake -S "$root" -B "$release-x64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
cmake --build "$release-x64" --target Vorlane -j "${JOBS:-2}"
epoch=$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 0)
zip=$(python3 "$root/scripts/package.py" "$release/Vorlane.exe" "$release-x64/Vorlane.exe" "$root/dist" "$epoch")
echo "dist: $zip ($(stat -c %s "$release/Vorlane.exe") bytes of Vorlane.exe," \
  "$(stat -c %s "$release-x64/Vorlane.exe") of Vorlane64.exe)"
(cd "$root/dist" && sha256sum -c "$(basename "$zip").sha256")
