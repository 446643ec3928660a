#!/bin/sh
# Installs what the build and the tests need on Debian 12. Idempotent: quiet and quick when all is there.
set -eu

PACKAGES="cmake ninja-build make g++ clang libclang-rt-14-dev googletest
g++-mingw-w64-i686 gcc-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev
g++-mingw-w64-x86-64 wine wine32:i386 wine64 xvfb xauth x11-utils xdotool imagemagick
fonts-ipafont-gothic fonts-ipafont-mincho fonts-wine locales mscompress python3
mtools xorriso dosfstools genisoimage"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi
echo "installing:$missing" >&2
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq >/dev/null
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
