#!/bin/bash
# Lays out a package folder of the kit's samples as an author's would be: the sample's setup
# script (UTF-8, as SETUP.ini), the pictures, Pavrell.ini and Velmora.ini of examples/clock,
# and the built Tessary.scr and PAVRELL.exe.
#
#   sample-package.sh EXAMPLE BIN PACKAGE    EXAMPLE: clock or clock-floppy (under examples/)
#
# PACKAGE is made anew: it is a build folder of ours, never an author's.
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: sample-package.sh EXAMPLE BIN PACKAGE" >&2; exit 2; }
root="$(cd "$(dirname "$0")/.." && pwd)"
example="$root/examples/$1" bin="$2" package="$3"
[ -f "$example/SETUP.utf8.ini" ] || { echo "sample-package: no sample $1" >&2; exit 2; }
rm -rf "$package"
mkdir -p "$package"
cp "$example/SETUP.utf8.ini" "$package/SETUP.ini"
cp "$root"/examples/clock/*.bmp "$root/examples/clock/Pavrell.ini" "$root/examples/clock/Velmora.ini" "$package/"
cp "$bin/Tessary.scr" "$bin/PAVRELL.exe" "$package/"
