#!/bin/bash
# Disk images of a medium the builder laid out, for a PC emulator's drives or for writing
# real disks. Run with --help for the usage.
#
# A floppy medium (FOLDER/DISK1, DISK2, ...) gives one DISKn.img per disk, a 1,474,560-byte
# FAT12 image laid out as a 3.5-inch 1.44 MB floppy is formatted; a CD medium (one folder,
# built with /cd) gives an ISO 9660 image with Joliet names. The file systems are written by
# mtools and xorriso; the builder has already decided what goes on which disk and checked
# that it fits. Every image is read back and compared with its folder: a disk the tools cannot
# hold whole is an error, and then no image is written at all.
#
# The medium's folders are only read. The same folders give the same images, byte for byte,
# on any machine at any hour: every file and folder of an image is dated SOURCE_DATE_EPOCH
# (by default the commit's date, see source-date.sh), in UTC, on a private copy of the
# folders, and goes onto a floppy in the order of the names.
#
# An image is written where nothing lies yet or over an image of this command's own: a floppy
# image that mtools formatted as a 1.44 MB FAT12 disk labelled with its disk number, a CD image
# that xorriso wrote. Anything else in an image's place stops it before it writes anything.
#
# Labels: the builder's /label (see tools/medium/volumelabel.h) gives the medium's label, at
# most 32 characters, the CD's volume id; a floppy's label is cut from it to 11 characters
# with the disk number included (VELMORA_1).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

usage() {
    cat <<'EOF'
usage: make-images.sh [--floppy FOLDER [--out FOLDER]] [--cd FOLDER [--iso FILE]] [--builder PROGRAM]
       make-images.sh FLOPPY CD ISO     (the same as --floppy FLOPPY --cd CD --iso ISO)
  --floppy FOLDER   a floppy medium from buildmedium: each FOLDER/DISKn becomes DISKn.img
  --out FOLDER      an existing folder for the floppy images (default: FOLDER itself, beside
                    its DISKn folders)
  --cd FOLDER       a CD medium from buildmedium /cd: it becomes one ISO image
  --iso FILE        the CD image (default: FOLDER.iso beside FOLDER)
  --builder PROGRAM the buildmedium whose /label gives the volume labels (default: the kit's
                    own, built by scripts/native-tools.sh)
Either medium or both. The medium's folders are never changed; an image is written only
where none lies or over one this command made, never inside a medium's folder.
EOF
}

floppy="" out="" cd="" iso="" builder=""
[ $# -eq 3 ] && [[ "$1" != -* ]] && set -- --floppy "$1" --cd "$2" --iso "$3"
while [ $# -gt 0 ]; do
    case "$1" in
        --help|-h) usage; exit 0 ;;
        --floppy|--out|--cd|--iso|--builder)
            [ $# -ge 2 ] && [ -n "$2" ] || { usage >&2; exit 2; }
            case "$1" in
                --floppy) floppy="$2" ;; --out) out="$2" ;; --cd) cd="$2" ;;
                --iso) iso="$2" ;; --builder) builder="$2" ;;
            esac
            shift 2 ;;
        *) usage >&2; exit 2 ;;
    esac
done
if [ -z "$floppy$cd" ] || { [ -n "$out" ] && [ -z "$floppy" ]; } || { [ -n "$iso" ] && [ -z "$cd" ]; }; then
    usage >&2
    exit 2
fi
[ -n "$floppy" ] && out="${out:-$floppy}"
[ -n "$cd" ] && iso="${iso:-${cd%/}.iso}"

# File names pass between the tools as UTF-8; mtools and xorriso store them as UTF-16.
# FAT dates are local times: the images' are UTC.
export LC_ALL=C.UTF-8 TZ=UTC
shopt -s nullglob inherit_errexit
. "$here/source-date.sh"
kit_source_date_epoch "$here/.."

fail() { echo "make-images: $*" >&2; exit 1; }

work="$(mktemp -d)"
partials=()
trap 'rm -f "${partials[@]}"; chmod -R u+w "$work"; rm -rf "$work"' EXIT

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

product_label() {  # $1: a medium folder holding the setup script
    local script
    script="$(setup_script "$1")"
    "$builder" /label "$script" || fail "$script: $builder gives no volume label"
}

cut_label() {  # $1 cut to $2 characters, no '_' left at its end
    local text="${1:0:$2}"
    while [[ "$text" == *_ ]]; do text="${text%_}"; done
    printf '%s\n' "$text"
}

inside() {  # true when path $1 lies in folder $2 or is it
    case "$(realpath -m "$1")/" in "$(realpath -m "$2")"/*) return 0 ;; esac
    return 1
}

# Every file of a folder with its size and checksum, by relative path.
inventory() {
    (cd "$1" && find . -type f -print0 | LC_ALL=C sort -z | xargs -0r cksum)
}

bytes_at() { dd if="$1" bs=1 skip="$2" count="$3" status=none 2>/dev/null; }   # file, offset, count

# An earlier image of this command's own, for disk $2 (a floppy) or the CD (no $2).
made_here() {  # $1: image
    [ -f "$1" ] && [ ! -L "$1" ] || return 1
    if [ $# -eq 2 ]; then
        [ "$(stat -c %s "$1")" = 1474560 ] && [ "$(bytes_at "$1" 3 4)" = MTOO ] &&
            [ "$(bytes_at "$1" 54 8)" = "FAT12   " ] && [[ "$(bytes_at "$1" 43 11)" =~ _$2\ *$ ]]
    else
        [ "$(bytes_at "$1" 32769 5)" = CD001 ] && [ "$(bytes_at "$1" 33214 7)" = XORRISO ]
    fi
}

may_write() {  # $1: image, then the disk number of a floppy
    [ ! -e "$1" ] && [ ! -L "$1" ] || made_here "$@" ||
        fail "$1: already there and not an image this command made; move it away or name another place"
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

# A private copy of a medium folder, every entry dated SOURCE_DATE_EPOCH.
dated_copy() {  # $1: medium folder, $2: the copy, not there yet
    cp -R --preserve=mode "$1" "$2"
    find "$2" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
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

make_floppy() {  # $1: disk folder, $2: its dated copy, $3: image in the work folder, $4: label
    local serial
    # The serial number tells a drive that the disk was changed: one of its own per disk.
    serial="$( { echo "$4"; inventory "$1"; } | cksum | cut -d' ' -f1)"
    mformat -i "$3" -C -f 1440 -v "$4" -N "$(printf '%08X' "$serial")" :: && date_label "$3" ||
        fail "$1: cannot format an image"
    copy_sorted "$3" "$2" :: || fail "$1: does not fit a 1.44 MB floppy"
    mkdir "$3.read"
    mcopy -i "$3" -s -m -n '::*' "$3.read" </dev/null 2>/dev/null || true
    [ "$(inventory "$1")" = "$(inventory "$3.read")" ] || fail "$1: the image does not read back as the folder"
}

make_cd() {  # $1: medium folder, $2: its dated copy, $3: image in the work folder, $4: volume id
    # Level 1 names (8.3, capitals) for readers without Joliet, Joliet for Windows 95 and
    # NT 4.0 with the names as they are, Rock Ridge for Unix. xorriso takes its volume dates
    # and identifiers from SOURCE_DATE_EPOCH, the files' dates from the files.
    xorriso -as mkisofs -quiet -input-charset UTF-8 -iso-level 1 -J -r -V "$4" \
        -o "$3" "$2" 2>"$work/xorriso.log" ||
        { cat "$work/xorriso.log" >&2; fail "$1: xorriso could not make the CD image"; }
    xorriso -osirrox on -read_fs norock -indev "$3" -extract / "$3.read" >/dev/null 2>&1 || true
    [ "$(inventory "$1")" = "$(inventory "$3.read")" ] || fail "$1: the CD image does not read back as the folder"
}

# An image from the work folder into its place: copied beside it, then renamed over it.
put() {  # $1: made image, $2: its place, $3: what to say of it
    local partial
    partial="$(mktemp -p "$(dirname "$2")" ".$(basename "$2").XXXXXX")"
    partials+=("$partial")
    cp "$1" "$partial" && chmod 644 "$partial" && mv -fT "$partial" "$2" || fail "$2: cannot be written"
    printf '%-12s %s, %s\n' "$(basename "$2")" "$(stat -c %s "$2") bytes" "$3"
}

# Everything is looked at before anything is made.
disks=() media=()
if [ -n "$floppy" ]; then
    [ -d "$floppy/DISK1" ] || fail "$floppy: no DISK1 folder"
    [ -d "$out" ] || fail "$out: no such folder for the floppy images"
    for disk in "$floppy"/DISK[0-9]*; do
        [[ -d "$disk" && "${disk##*/DISK}" =~ ^[0-9]+$ ]] && disks+=("${disk##*/DISK}") && media+=("$disk")
    done
fi
if [ -n "$cd" ]; then
    [ -d "$cd" ] || fail "$cd: no such folder"
    [ -d "$(dirname "$iso")" ] || fail "$iso: no such folder for the CD image"
    [ -d "$iso" ] && fail "$iso: a folder, not a file name for the CD image"
    check_joliet_names "$cd"
    media+=("$cd")
fi
for medium in "${media[@]}"; do
    for image in ${floppy:+"$out/DISK1.img"} ${cd:+"$iso"}; do
        inside "$image" "$medium" && fail "$image: would lie inside the medium's folder $medium"
    done
done
for n in "${disks[@]}"; do may_write "$out/DISK$n.img" "$n"; done
[ -z "$cd" ] || may_write "$iso"
[ "$SOURCE_DATE_EPOCH" -ge 315532800 ] || fail "SOURCE_DATE_EPOCH $SOURCE_DATE_EPOCH: a FAT disk dates nothing before 1980"
if [ -z "$builder" ]; then
    builder="$("$here/native-tools.sh" 2>"$work/tools.log")/buildmedium" ||
        { cat "$work/tools.log" >&2; fail "the kit's buildmedium does not build"; }
fi

if [ -n "$floppy" ]; then
    label="$(product_label "$floppy/DISK1")"
    for n in "${disks[@]}"; do
        dated_copy "$floppy/DISK$n" "$work/DISK$n"
        make_floppy "$floppy/DISK$n" "$work/DISK$n" "$work/DISK$n.img" "$(cut_label "$label" $((10 - ${#n})))_$n"
    done
fi
if [ -n "$cd" ]; then
    volume="$(product_label "$cd")"
    dated_copy "$cd" "$work/cd"
    make_cd "$cd" "$work/cd" "$work/cd.iso" "$volume"
fi
for n in "${disks[@]}"; do
    put "$work/DISK$n.img" "$out/DISK$n.img" "label $(cut_label "$label" $((10 - ${#n})))_$n"
done
[ -z "$cd" ] || put "$work/cd.iso" "$iso" "volume $volume"
