#!/bin/bash
# A two-disk medium built by BuildMedium under Wine, made into images by make-images.sh,
# then read back by readers apart from the writers (fsck.fat, isoinfo, the boot sector's
# own bytes, mtools and xorriso reading): every file byte for byte under its name and case.
# Then the reference's two-disk example: the images command writes its images and changes
# nothing else, and where an image may go. Leaves the floppies' files copied out in
# WORK/read for the installation test.
#   images_test.sh SOURCE_DIR BIN_DIR WINE_WORK WORK
set -uo pipefail
src="$1" bin="$2" wine_work="$3" work="$4"
export LC_ALL=C.UTF-8 PATH="$PATH:/usr/sbin:/sbin"   # fsck.fat lives in sbin
failed=0
check() {  # what, then a command that must succeed
    local what="$1"
    shift
    if "$@"; then echo "ok    $what"; else echo "FAIL  $what"; failed=1; fi
}
quiet() { "$@" >/dev/null 2>&1; }
winpath() { printf 'Z:%s' "$(realpath -m "$1" | tr '/' '\\')"; }
native="$("$src/scripts/native-tools.sh" 2>/dev/null)/buildmedium"
images() { "$src/scripts/make-images.sh" --builder "$native" "$@"; }

chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"
pkg="$work/pkg"
mkdir -p "$pkg/SUB" "$work/read"
cp "$src"/examples/clock/{title.bmp,clock.bmp,Pavrell.ini} "$bin/Tessary.scr" "$bin/PAVRELL.exe" "$pkg/"
cp "$bin/BuildMedium.exe" "$pkg/SUB/lower.dll"
printf 'ようこそ\r\n' >"$pkg/時計.txt"
{ sed '/^\[DISK1\]/,$d' "$src/examples/clock/SETUP.utf8.ini"
  printf '[DISK1]\n1=$App:Tessary.scr\n2=$App:時計.txt\n3=$App:Pavrell.ini\n'
  printf '[DISK2]\n1=$App:PAVRELL.exe\n2=$Sys:SUB\\lower.dll\n'
} | iconv -f UTF-8 -t CP932 | sed 's/$/\r/' >"$pkg/SETUP.ini"
for medium in floppy:"" cd:/cd; do
    "$src/scripts/wine-run.sh" --work "$wine_work" --suite medium_images -- "$bin/BuildMedium.exe" \
        ${medium#*:} /setup "$(winpath "$bin/SETUP.exe")" "$(winpath "$pkg/SETUP.ini")" \
        "$(winpath "$pkg")" "$(winpath "$work/${medium%%:*}")" >/dev/null || exit 1
done
images --floppy "$work/floppy" --cd "$work/cd" --iso "$work/medium.iso" || exit 1

field() { od -An -tu"$2" -j "$1" -N "$2" "$image" | tr -d ' '; }  # offset, width (little-endian)
text() { dd if="$image" bs=1 skip="$1" count="$2" status=none; }
for n in 1 2; do
    image="$work/floppy/DISK$n.img"
    check "DISK$n.img: 1,474,560 bytes" [ "$(stat -c %s "$image")" = 1474560 ]
    # Bytes and sectors per cluster, reserved sectors, FATs, root entries, sectors, media
    # byte, sectors per FAT, per track, heads: a 3.5-inch 1.44 MB disk as DOS formats it.
    check "DISK$n.img: 1.44 MB geometry" [ "$(field 11 2) $(field 13 1) $(field 14 2) $(field 16 1) \
$(field 17 2) $(field 19 2) $(field 21 1) $(field 22 2) $(field 24 2) $(field 26 2)" = \
        "512 1 1 2 224 2880 240 9 18 2" ]
    check "DISK$n.img: label and type" [ "$(text 43 19)" = "VELMORA_$n  FAT12   " ]
    check "DISK$n.img: fsck.fat finds nothing to mend" quiet fsck.fat -n "$image"
    mkdir "$work/read/DISK$n"
    mcopy -i "$image" -s -m -n '::*' "$work/read/DISK$n"
    check "DISK$n.img: reads back as DISK$n, names and case" diff -r "$work/floppy/DISK$n" "$work/read/DISK$n"
done
check "Tessary.sc_ has a long name for Windows 95" \
    grep -q ' Tessary\.sc_$' <(mdir -i "$work/floppy/DISK1.img" ::)

iso="$work/medium.iso"
check "medium.iso: volume VELMORA with Joliet" [ "$(isoinfo -d -i "$iso" |
    grep -E '^Volume id:|^Joliet')" = $'Volume id: VELMORA\nJoliet with UCS level 3 found' ]
check "medium.iso: 8.3 names in capitals without Joliet" [ -z "$(isoinfo -f -i "$iso" |
    grep -vE '^(/[A-Z0-9_]{1,8}(\.[A-Z0-9_]{1,3})?(;1)?)+$')" ]
xorriso -osirrox on -read_fs norock -indev "$iso" -extract / "$work/read/cd" >/dev/null 2>&1
check "medium.iso: Joliet reads back as the medium, names and case" diff -r "$work/cd" "$work/read/cd"

# What the tools cannot hold is refused and leaves no image: the builder's limits seen from
# the images' side. A labelled floppy's root holds 223 entries (SETUP.ini and SETUP.exe
# take one each); its data area 2847 sectors.
case_images() {  # files NAME:BYTES added to a one-disk medium; prints the status and the images left
    local case="$work/case"
    rm -rf "$case" && mkdir -p "$case/floppy/DISK1" && cp "$pkg/SETUP.ini" "$bin/SETUP.exe" "$case/floppy/DISK1/"
    for f in "$@"; do head -c "${f#*:}" /dev/zero >"$case/floppy/DISK1/${f%%:*}"; done
    cp -r "$case/floppy/DISK1" "$case/cd"
    images --floppy "$case/floppy" --cd "$case/cd" --iso "$case/medium.iso" >/dev/null 2>&1
    printf 'status %d:' $?
    (cd "$case" && find . -name '*.img*' -o -name '*.iso*' | LC_ALL=C sort | tr '\n' ' ')
}
sectors() { echo $(( ($(stat -c %s "$1") + 511) / 512 )); }
free=$(( (2847 - $(sectors "$pkg/SETUP.ini") - $(sectors "$bin/SETUP.exe")) * 512 ))
roots() { for i in $(seq "$1"); do printf 'F%d.TXT:1 ' "$i"; done; }
long="$(printf 'n%.0s' {1..61})"
made="status 0:./floppy/DISK1.img ./medium.iso " none="status 1:"
while IFS='|' read -r what files expected; do
    # shellcheck disable=SC2086
    check "$what" [ "$(case_images $files)" = "${!expected}" ]
done <<EOF
221 files and the script's two fill the root|$(roots 221)|made
222 files and the script's two are refused|$(roots 222)|none
the data area filled to its last byte|BIG.DA_:$free|made
a byte more is refused|BIG.DA_:$((free + 1))|none
a name of 64 characters fits the CD|${long:1}.tx_:1|made
a name of 65 characters is refused by the CD|$long.tx_:1|none
EOF

# Labels from the Title: capitals, digits and '_', at most 11 characters on a floppy with
# its disk number, 32 on the CD; the script's name when the Title has no ASCII letter.
labels() {  # Title (UTF-8): prints the first floppy's label and the CD's volume id
    local case="$work/labels"
    rm -rf "$case" && mkdir -p "$case/floppy/DISK1" && cp "$bin/SETUP.exe" "$case/floppy/DISK1/"
    printf '[Setup]\r\nTitle=%s\r\n' "$1" | iconv -f UTF-8 -t CP932 >"$case/floppy/DISK1/SETUP.ini"
    cp -r "$case/floppy/DISK1" "$case/cd"
    images --floppy "$case/floppy" --cd "$case/cd" --iso "$case/medium.iso" >/dev/null 2>&1
    image="$case/floppy/DISK1.img"
    printf '%s|%s' "$(text 43 11)" "$(isoinfo -d -i "$case/medium.iso" | sed -n 's/^Volume id: //p')"
}
while IFS='|' read -r title floppy cd; do
    check "Title $title: labels $floppy, $cd" [ "$(labels "$title")" = "$floppy|$cd" ]
done <<'EOF'
時計|SETUP_1    |SETUP
Velmora2 Clock|VELMORA2_1 |VELMORA2_CLOCK
A very long product name, 2nd edition|A_VERY_LO_1|A_VERY_LONG_PRODUCT_NAME_2ND_EDI
EOF

# The reference's two-disk example, its media built natively, made into images where the
# command puts them by default: three images are new, and nothing else changed, not even a
# date of the medium's folders and files.
ref="$work/reference"
bash "$src/tests/medium/reference_package.sh" "$src" "$bin" "$ref/pkg" >/dev/null
for medium in floppy: cd:/cd; do
    "$native" ${medium#*:} /utf8 /setup "$bin/SETUP.exe" "$ref/pkg/SETUP.ini" "$ref/pkg" "$ref/${medium%%:*}" \
        >/dev/null || exit 1
done
listing() { (cd "$ref" && find . -mindepth 1 ! -path ./floppy -printf '%p %T@ %s\n' | LC_ALL=C sort); }
before="$(listing)"
images --floppy "$ref/floppy" --cd "$ref/cd" >/dev/null
check "the reference's images are all that the command changed" [ "$(comm -3 <(echo "$before") <(listing) |
    cut -d' ' -f1 | tr -d '\t' | tr '\n' ' ')" = "./cd.iso ./floppy/DISK1.img ./floppy/DISK2.img " ]

# Where an image may go: over nothing or over an image of the command's own; anything else
# stops it before it writes, and nothing ever lands in the medium's folders.
places() {  # what lies in the images' folder first, the CD image's place; prints the status,
            # each file of that folder ("ref": the reference's image, else its first letters),
            # and what is new in the medium's folders
    local at="$work/places" f made
    rm -rf "$at" && mkdir "$at" && touch "$work/stamp"
    $1 "$at"
    images --floppy "$ref/floppy" --out "$at" --cd "$ref/cd" --iso "${2/PLACES/$at}" >/dev/null 2>&1
    printf 'status %d:' $?
    for f in "$at"/*; do
        [ -e "$f" ] || continue
        made="$ref/floppy/${f##*/}" && [ "${f##*/}" != ref.iso ] || made="$ref/cd.iso"
        cmp -s "$f" "$made" && printf ' %s=ref' "${f##*/}" || printf ' %s=%s' "${f##*/}" "$(head -c 4 "$f" | tr -dc 'a-z')"
    done
    printf ' new:%s' "$(find "$ref/floppy"/DISK[0-9] "$ref/cd" -newer "$work/stamp" | tr '\n' ' ')"
}
nothing() { :; }
earlier() { cp "$work"/floppy/DISK[12].img "$1/" && cp "$work/medium.iso" "$1/ref.iso"; }   # the sample's
authors_disk2() { echo mine >"$1/DISK2.img"; }
authors_iso() { echo mine >"$1/ref.iso"; }
disk1_as_disk2() { cp "$ref/floppy/DISK1.img" "$1/DISK2.img"; }
while IFS='|' read -r what spoil iso expected; do
    check "$what" [ "$(places "$spoil" "$iso")" = "$expected" ]
done <<EOF
nothing there: the two floppies' images and the CD's|nothing|PLACES/ref.iso|status 0: DISK1.img=ref DISK2.img=ref ref.iso=ref new:
its own earlier images are replaced|earlier|PLACES/ref.iso|status 0: DISK1.img=ref DISK2.img=ref ref.iso=ref new:
an author's DISK2.img stops it before DISK1.img is written|authors_disk2|PLACES/ref.iso|status 1: DISK2.img=mine new:
an author's file in the CD image's place stops it|authors_iso|PLACES/ref.iso|status 1: ref.iso=mine new:
a floppy image of another disk in DISK2.img's place stops it|disk1_as_disk2|PLACES/ref.iso|status 1: DISK2.img= new:
an image inside the medium's folder is refused|nothing|$ref/cd/ref.iso|status 1: new:
EOF
exit $failed
