#!/usr/bin/env bash
# Installs what building and testing the updater needs on Debian 12:
# the i686 MinGW-w64 cross compiler, 32-bit Wine, Xvfb, CMake and GoogleTest.
# Idempotent and quick when everything is already there.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

packages=(cmake make g++ googletest libgtest-dev g++-mingw-w64-i686-posix
          wine wine32:i386 xvfb xauth x11-utils imagemagick python3)
for p in "${packages[@]}"; do have_pkg "$p" || need+=("$p"); done
[ ${#need[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
echo "setup: installing ${need[*]}" >&2
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
