#!/bin/bash
# The kit's main job: installs what it needs, builds the three programs and the medium
# builder (BuildMedium.exe for Windows, buildmedium for Linux) into dist/bin/ and, with the
# native buildmedium, the sample package's installation medium into dist/medium/ (one folder,
# as on a CD) and dist/floppy/ (one folder per 1.44 MB disk), and their images:
# dist/floppy/DISKn.img per disk and dist/medium.iso (scripts/make-images.sh); the same
# product on two floppies (examples/clock-floppy) into dist/clock-floppy/ (floppy/ with its
# images, medium/ and medium.iso), which the Windows 95 user's journey installs. All of it is
# the same byte for byte wherever and whenever the same commit is built (SOURCE_DATE_EPOCH,
# see scripts/source-date.sh); dist/SHA256SUMS lists it. Then the whole journey of a user
# under Wine for each family (scripts/journey.sh): a Windows 95 user from the floppy images,
# an NT 4.0 user from the CD; install, the saver, the uninstall, with screenshots and
# before/after listings in dist/journey/.
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

. scripts/source-date.sh
kit_source_date_epoch "$root"
echo "== SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH ($(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S UTC'))"

jobs="$(nproc)"
cmake -S . -B build/win32 -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw32.cmake" >/dev/null
cmake --build build/win32 -j "$jobs" --target setup_exe saver_scr pavrell_exe buildmedium
tools="$(scripts/native-tools.sh)"

rm -rf dist/bin dist/SHA256SUMS
mkdir -p dist/bin
for f in SETUP.exe Tessary.scr PAVRELL.exe BuildMedium.exe; do
    cp "build/win32/bin/$f" dist/bin/
done
cp "$tools/buildmedium" dist/bin/
for f in dist/bin/*; do
    printf '%-16s %8d bytes\n' "$(basename "$f")" "$(stat -c %s "$f")"
done

# The package folder: the sample's script, pictures and settings beside the built programs.
# The script is the author's UTF-8 text; the builder (/utf8) puts it on the medium in Shift-JIS.
package=build/medium-package
scripts/sample-package.sh clock dist/bin "$package"

build_medium() {  # $1: package, $2: output folder, then builder options
    local from="$1" out="$2"
    shift 2
    echo "== medium $out"
    dist/bin/buildmedium /utf8 "$@" /setup dist/bin/SETUP.exe "$from/SETUP.ini" "$from" "$out"
}
build_medium "$package" dist/medium /cd
build_medium "$package" dist/floppy

# Every compressed file of the medium expands to its package file (Debian's msexpand, an
# expander written apart from ours); a file stored as it is, is that file.
for packed in dist/medium/*_; do
    original="$package/$(basename "${packed%_}")"
    matches=("$original"?)
    if [ "$(head -c 4 "$packed")" = SZDD ]; then
        cmp -s <(msexpand <"$packed") "${matches[0]}"
    else
        cmp -s "$packed" "${matches[0]}"
    fi || { echo "build: $packed does not expand to ${matches[0]}" >&2; exit 1; }
done
echo "medium checked: every listed file is its original, expanded or as it is"

scripts/make-images.sh --builder dist/bin/buildmedium --floppy dist/floppy --cd dist/medium --iso dist/medium.iso

# The same product on two floppies, the screensaver on the second.
floppy_package=build/clock-floppy-package
scripts/sample-package.sh clock-floppy dist/bin "$floppy_package"
mkdir -p dist/clock-floppy
build_medium "$floppy_package" dist/clock-floppy/medium /cd
build_medium "$floppy_package" dist/clock-floppy/floppy
scripts/make-images.sh dist/clock-floppy/floppy dist/clock-floppy/medium dist/clock-floppy/medium.iso

# What ships, with its checksums: an author checks a copy against them (see the README).
(cd dist && find bin medium floppy medium.iso clock-floppy -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum) \
    >dist/SHA256SUMS.partial
mv dist/SHA256SUMS.partial dist/SHA256SUMS
echo "dist/SHA256SUMS: $(wc -l <dist/SHA256SUMS) files and images"

if [ "$mode" = --by-hand ]; then
    exec scripts/journey.sh --by-hand
fi
scripts/journey.sh
