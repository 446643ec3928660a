#!/bin/bash
# Disk images of a built medium, for a PC emulator's drives or for writing real disks:
#
#   make-images.sh FLOPPY CD ISO
#
# FLOPPY is the medium builder's folder with one DISKn folder per disk: each becomes
# FLOPPY/DISKn.img, a 1,474,560-byte FAT12 image laid out as a 3.5-inch 1.44 MB floppy is
# formatted. CD is the builder's one-folder medium: it becomes ISO, an ISO 9660 image with
# Joliet names. The file systems are written by mtools and xorriso; the builder has already
# decided what goes on which disk and checked that it fits. Every image is read back and
# compared with its folder before it is kept: a disk the tools cannot hold whole is an
# error, and no image of it is left.
#
# The same folders give the same images, byte for byte, on any machine at any hour: every
# file and folder is dated SOURCE_DATE_EPOCH (by default the commit's date, see
# source-date.sh), in UTC, and goes onto a floppy in the order of the names.
#
# Labels: the ASCII letters and digits of the setup script's Title in capitals, every other
# run of characters as one '_' ("Velmora 時計" gives VELMORA), or the script's own name
# when the Title has none. A floppy carries at most 11 characters, the disk number
# included (VELMORA_1); the CD at most 32.
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: make-images.sh FLOPPY CD ISO" >&2; exit 2; }
floppy="$1" cd="$2" iso="$3"
# File names pass between the tools as UTF-8; mtools and xorriso store them as UTF-16.
# FAT dates are local times: the images' are UTC.
export LC_ALL=C.UTF-8 TZ=UTC
shopt -s nullglob inherit_errexit
. "$(dirname "$0")/source-date.sh"
kit_source_date_epoch "$(dirname "$0")/.."

fail() { echo "make-images: $*" >&2; exit 1; }

work="$(mktemp -d)"
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT

# The setup script of a medium folder: the .ini beside the .exe of the same name.
setup_script() {
    local ini exe
    for ini in "$1"/*.[iI][nN][iI]; do
        for exe in "${ini%.*}".[eE][xX][eE]; do   # (nullglob: no turn without one)
            printf '%s\n' "$ini"
            return 0
        done
    done
    fail "$1: no setup program with its script"
}

# The first Title of [Setup], as the profile functions read it (names without case,
# blanks around the value dropped).
script_title() {
    iconv -f CP932 -t UTF-8 "$1" 2>/dev/null | tr -d '\r' | awk '
        /^[ \t]*\[/ { s = tolower($0); gsub(/[ \t]/, "", s); inSetup = (s == "[setup]"); next }
        inSetup && index($0, "=") {
            key = tolower(substr($0, 1, index($0, "=") - 1)); gsub(/^[ \t]+|[ \t]+$/, "", key)
            if (key == "title") { print substr($0, index($0, "=") + 1); exit }
        }' || true
}

label_text() {  # capitals, digits and single '_' between them
    printf '%s' "$1" | LC_ALL=C tr -c 'A-Za-z0-9' '_' | tr 'a-z' 'A-Z' | tr -s '_' |
        sed 's/^_*//; s/_*$//'
}

product_label() {  # $1: a medium folder holding the setup script
    local script label
    script="$(setup_script "$1")"
    label="$(label_text "$(script_title "$script")")"
    [ -n "$label" ] || label="$(label_text "$(basename "${script%.*}")")"
    [ -n "$label" ] || label=SETUP
    printf '%s\n' "$label"
}

cut_label() {  # $1 cut to $2 characters, no '_' left at its end
    local text="${1:0:$2}"
    while [[ "$text" == *_ ]]; do text="${text%_}"; done
    printf '%s\n' "$text"
}

# Every file of a folder with its size and checksum, by relative path.
inventory() {
    (cd "$1" && find . -type f -print0 | LC_ALL=C sort -z | xargs -0r cksum)
}

# Joliet keeps 64 UTF-16 characters of a name and cuts longer ones without a word.
check_joliet_names() {
    local path name
    while IFS= read -r -d '' path; do
        name="$(basename "$path")"
        [ "$(printf '%s' "$name" | iconv -f UTF-8 -t UTF-16LE | wc -c)" -le 128 ] ||
            fail "$path: a name longer than the 64 characters a CD's Joliet names hold"
    done < <(find "$1" -mindepth 1 -print0)
}

# The folder's entries onto the image in the order of their names (mcopy -s would take the
# file system's order), each with its own date; a folder is made from an empty one of its
# name and date.
copy_sorted() {  # $1: image, $2: host folder, $3: its folder on the image, "::" or "::SUB/"
    local entry name
    while IFS= read -r -d '' entry; do
        name="${entry##*/}"
        if [ -d "$entry" ]; then
            rm -rf "$work/empty" && mkdir -p "$work/empty/$name" && touch -r "$entry" "$work/empty/$name"
            mcopy -i "$1" -s -m -Q "$work/empty/$name" "$3" </dev/null || return 1
            copy_sorted "$1" "$entry" "$3$name/" || return 1
        else
            mcopy -i "$1" -m -Q "$entry" "$3" </dev/null || return 1
        fi
    done < <(find "$2" -mindepth 1 -maxdepth 1 -print0 | sort -z)
}

# mformat dates the volume label with the time it runs: the label gets SOURCE_DATE_EPOCH's.
date_label() {  # $1: image
    local image="$1" root year month day hour minute second time date
    at() { od -An -tu"$2" -j "$1" -N "$2" "$image" | tr -d ' '; }   # offset, width
    le16() { printf "$(printf '\\%03o\\%03o' $(( $1 & 255 )) $(( $1 >> 8 )))"; }
    # The root folder follows the reserved sectors and the FATs; the label is its first entry.
    root=$(( ($(at 14 2) + $(at 16 1) * $(at 22 2)) * $(at 11 2) ))
    [ "$(at $((root + 11)) 1)" = 8 ] || return 1
    read -r year month day hour minute second < <(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y %-m %-d %-H %-M %-S')
    time=$(( hour << 11 | minute << 5 | second / 2 ))
    date=$(( (year - 1980) << 9 | month << 5 | day ))
    # Created (time, date), last opened (date), then written (time, date).
    { le16 $time; le16 $date; le16 $date; } | dd of="$image" bs=1 seek=$((root + 14)) conv=notrunc status=none
    { le16 $time; le16 $date; } | dd of="$image" bs=1 seek=$((root + 22)) conv=notrunc status=none
}

make_floppy() {  # $1: disk folder, $2: disk number, $3: label
    local disk="$1" image="$1.img" partial="$1.img.partial" serial
    rm -f "$image" "$partial"
    # The serial number tells a drive that the disk was changed: one of its own per disk.
    serial="$( { echo "$3"; inventory "$disk"; } | cksum | cut -d' ' -f1)"
    mformat -i "$partial" -C -f 1440 -v "$3" -N "$(printf '%08X' "$serial")" :: && date_label "$partial" ||
        { rm -f "$partial"; fail "$disk: cannot format an image"; }
    copy_sorted "$partial" "$disk" :: ||
        { rm -f "$partial"; fail "$disk: does not fit a 1.44 MB floppy"; }
    mkdir "$work/disk$2"
    mcopy -i "$partial" -s -m -n '::*' "$work/disk$2" </dev/null 2>/dev/null || true
    [ "$(inventory "$disk")" = "$(inventory "$work/disk$2")" ] ||
        { rm -f "$partial"; fail "$disk: the image does not read back as the folder"; }
    mv "$partial" "$image"
    printf '%-12s %s, label %s\n' "$(basename "$image")" "$(stat -c %s "$image") bytes" "$3"
}

make_cd() {  # $1: medium folder, $2: image, $3: volume id
    local partial="$2.partial"
    rm -f "$2" "$partial"
    # Level 1 names (8.3, capitals) for readers without Joliet, Joliet for Windows 95 and
    # NT 4.0 with the names as they are, Rock Ridge for Unix. xorriso takes its volume dates
    # and identifiers from SOURCE_DATE_EPOCH, the files' dates from the files.
    xorriso -as mkisofs -quiet -input-charset UTF-8 -iso-level 1 -J -r -V "$3" \
        -o "$partial" "$1" 2>"$work/xorriso.log" ||
        { cat "$work/xorriso.log" >&2; rm -f "$partial"; fail "$1: xorriso could not make the CD image"; }
    xorriso -osirrox on -read_fs norock -indev "$partial" -extract / "$work/cd" \
        >/dev/null 2>&1 || true
    [ "$(inventory "$1")" = "$(inventory "$work/cd")" ] ||
        { rm -f "$partial"; fail "$1: the CD image does not read back as the folder"; }
    mv "$partial" "$2"
    printf '%-12s %s, volume %s\n' "$(basename "$2")" "$(stat -c %s "$2") bytes" "$3"
}

[ -d "$floppy/DISK1" ] || fail "$floppy: no DISK1 folder"
[ -d "$cd" ] || fail "$cd: no such folder"
check_joliet_names "$cd"
[ "$SOURCE_DATE_EPOCH" -ge 315532800 ] || fail "SOURCE_DATE_EPOCH $SOURCE_DATE_EPOCH: a FAT disk dates nothing before 1980"
find "$floppy"/DISK[0-9]* "$cd" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
label="$(product_label "$floppy/DISK1")"
rm -f "$floppy"/DISK*.img "$floppy"/DISK*.img.partial
for disk in "$floppy"/DISK[0-9]*; do
    n="${disk##*/DISK}"
    [[ -d "$disk" && "$n" =~ ^[0-9]+$ ]] || continue
    make_floppy "$disk" "$n" "$(cut_label "$label" $((10 - ${#n})))_$n"
done
make_cd "$cd" "$iso" "$(cut_label "$(product_label "$cd")" 32)"
