#!/bin/bash
# The kit's main job: installs what it needs, builds the three programs into dist/bin/ and
# the sample package's installation medium into dist/medium/ (one folder, as on a CD) and
# dist/floppy/ (one folder per 1.44 MB disk), with the medium builder run under Wine, and
# their images: dist/floppy/DISKn.img per disk and dist/medium.iso (scripts/make-images.sh).
# Then the whole journey of a user under Wine (scripts/journey.sh): install from the medium,
# the saver, the uninstall, with screenshots and before/after listings in dist/journey/.
#
#   scripts/build.sh             everything, without a person
#   scripts/build.sh --by-hand   the same build, then SETUP from the medium on $DISPLAY for a
#                                person to click through
set -euo pipefail
mode="${1:-}"
case "$mode" in
    ""|--by-hand) ;;
    *) echo "usage: scripts/build.sh [--by-hand]" >&2; exit 2 ;;
esac
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh

jobs="$(nproc)"
cmake -S . -B build/win32 -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw32.cmake" >/dev/null
cmake --build build/win32 -j "$jobs" --target setup_exe saver_scr pavrell_exe

mkdir -p dist/bin
for f in SETUP.exe Tessary.scr PAVRELL.exe; do
    cp "build/win32/bin/$f" dist/bin/
done
for f in dist/bin/*; do
    printf '%-14s %8d bytes\n' "$(basename "$f")" "$(stat -c %s "$f")"
done

# The builder runs under Wine; where the kernel runs no 32-bit Linux programs Wine is
# 64-bit only, and the builder is built for x86_64 (same sources). The medium always
# carries the 32-bit programs of dist/bin.
. scripts/wine-arch.sh
kit_wine_tree "$root"
tool_tree="$KIT_WINE_TREE"
cmake --build "$tool_tree" -j "$jobs" --target buildmedium

# The package folder: the sample's script, pictures and settings beside the built programs.
# The script is the author's UTF-8 text; the builder (/utf8) puts it on the medium in Shift-JIS.
package=build/medium-package
rm -rf "$package"
mkdir -p "$package"
cp examples/clock/SETUP.utf8.ini "$package/SETUP.ini"
cp examples/clock/*.bmp examples/clock/Pavrell.ini examples/clock/Velmora.ini "$package/"
cp dist/bin/Tessary.scr dist/bin/PAVRELL.exe "$package/"

winpath() {  # a Unix path as Wine's Z: drive shows it
    printf 'Z:%s' "$(realpath -m "$1" | tr '/' '\\')"
}
build_medium() {  # $1: output folder, then builder options
    local out="$1"
    shift
    echo "== medium $out"
    scripts/wine-run.sh --work "$root/$tool_tree/wine" --suite build-medium -- \
        "$tool_tree/bin/BuildMedium.exe" /utf8 "$@" /setup "$(winpath dist/bin/SETUP.exe)" \
        "$(winpath "$package/SETUP.ini")" "$(winpath "$package")" "$(winpath "$out")"
}
build_medium dist/medium /cd
build_medium dist/floppy

# Every compressed file of the medium expands to its package file (Debian's msexpand, an
# expander written apart from ours).
for packed in dist/medium/*_; do
    original="$package/$(basename "${packed%_}")"
    matches=("$original"?)
    cmp -s <(msexpand <"$packed") "${matches[0]}" ||
        { echo "build: $packed does not expand to ${matches[0]}" >&2; exit 1; }
done
echo "medium checked: every compressed file expands to its original"

scripts/make-images.sh dist/floppy dist/medium dist/medium.iso

if [ "$mode" = --by-hand ]; then
    exec scripts/journey.sh --by-hand
fi
scripts/journey.sh
