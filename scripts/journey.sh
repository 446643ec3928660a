#!/bin/bash
# The whole journey of a user, under Wine, on the machine of one of the two families: SETUP
# from the medium with every page answered (the registration page as that family prefills
# it, each disk-change prompt answered with the next disk), what FinalExec opens, a listed
# screensaver (full screen over a desktop, with password protection on the Windows 95 family,
# its preview in the Display control panel's monitor picture, its configuration dialog), a
# restart (the platform then deletes the staged files named in WININIT.INI), and the
# uninstall from the uninstall entry. Leaves a screenshot of every step, before.txt /
# after.txt listing the files and keys the package touches, and index.html that shows it all
# in order. Fails when the machine is not back as it was, apart from what the design leaves
# on purpose.
#
#   scripts/journey.sh                  the kit's two journeys: a Windows 95 user from the
#                                       floppy images of examples/clock-floppy, an NT 4.0 user
#                                       from the CD of examples/clock
#   scripts/journey.sh --family 95|nt [--floppy]   one journey of the sample, either road
#   scripts/journey.sh --script FILE --package DIR [--utf8] [--floppy] [--family 95|nt]
#                                       an author's package: its medium built and checked by
#                                       buildmedium (errors stop here, before Wine starts),
#                                       then walked; pages in dist/journey/<package folder>/.
#                                       --family defaults to 95 with --floppy, else nt
#   scripts/journey.sh --by-hand        SETUP from the medium on $DISPLAY, for a person to click
#   scripts/journey.sh --bench          three installations timed against their 100 ms pauses
# Options: --out DIR (default dist/journey); --own-media builds the media from this tree's
# programs even where dist/ holds the shipped ones.
#
# The floppy road reads each DISKn.img with mtools into the folder behind A: (a removable
# drive): DISK1 before SETUP starts, the next one when SETUP asks for it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

usage() {
    echo "usage: scripts/journey.sh [--family 95|nt] [--floppy] [--out DIR] [--own-media] [--by-hand|--bench]" >&2
    echo "       scripts/journey.sh --script FILE --package DIR [--utf8] [--floppy] [--family 95|nt] [--out DIR]" >&2
    exit 2
}
mode=journey family="" road=cd out="" own_media=0 script="" package="" utf8=()
while [ $# -gt 0 ]; do
    case "$1" in
        --by-hand|--bench) mode="$1"; shift ;;
        --family) [ $# -ge 2 ] || usage; family="$2"; shift 2 ;;
        --floppy) road=floppy; shift ;;
        --out) [ $# -ge 2 ] || usage; out="$(realpath -m "$2")"; shift 2 ;;
        --own-media) own_media=1; shift ;;
        --script) [ $# -ge 2 ] || usage; script="$(realpath -m "$2")"; shift 2 ;;
        --package) [ $# -ge 2 ] || usage; package="$(realpath -m "$2")"; shift 2 ;;
        --utf8) utf8=(/utf8); shift ;;
        *) usage ;;
    esac
done
case "$family" in ""|95|nt) ;; *) usage ;; esac
if [ -n "$script$package" ] && { [ -z "$script" ] || [ -z "$package" ] || [ "$mode" != journey ]; }; then
    usage
fi
if [ -n "$package" ]; then
    [ -d "$package" ] || { echo "journey: no package folder $package" >&2; exit 2; }
    [ -n "$family" ] || { family=nt; [ "$road" = floppy ] && family=95; }
    [ -n "$out" ] || out="$root/dist/journey/$(basename "$package")"
    own_media=1   # built from this tree's SETUP.exe
fi
[ -n "$out" ] || out="$root/dist/journey"

jobs="$(nproc)"
. scripts/wine-arch.sh
arch="$KIT_WINE_ARCH"
# The test command names its own, already built tree (KIT_JOURNEY_TREE).
if [ -n "${KIT_JOURNEY_TREE:-}" ]; then
    tree="$(realpath --relative-to="$root" "$KIT_JOURNEY_TREE")"
else
    kit_wine_tree "$root"
    tree="$KIT_WINE_TREE"
fi
# A journey goes on in its prefix from one run to the next: it is dropped after the last.
drop_prefix="${KIT_DROP_PREFIX:-0}"
unset KIT_DROP_PREFIX
if [ "$arch" = win32 ] && [ "$own_media" = 0 ]; then
    which_build="the shipped 32-bit programs (dist/bin, i686)"
elif [ "$arch" = win32 ]; then
    which_build="the 32-bit programs of $tree"
else
    # Wine runs 64-bit programs only here: the journey installs the x86_64 build of the same
    # sources from media of its own; dist/ keeps the shipped 32-bit programs.
    own_media=1
    which_build="the x86_64 build of the same sources (this machine cannot run 32-bit programs; dist/ holds the shipped 32-bit ones)"
fi
echo "== journey with $which_build"
[ -n "${KIT_JOURNEY_TREE:-}" ] ||
    cmake --build "$tree" -j "$jobs" --target setup_exe saver_scr pavrell_exe \
          journeydriver assist_rundll32_standin password_fixture >/dev/null

# An author's package is checked and built before Wine is asked for anything: the builder's
# own messages say what is wrong (the check measures the disks with the setup program on the
# first). Its media go into a build folder of ours.
author_media=""
if [ -n "$package" ]; then
    builder="$(scripts/native-tools.sh)/buildmedium"
    author_media="$root/build/journey/packages/$(basename "$package")"
    road_option=/cd
    [ "$road" = floppy ] && road_option=""
    "$builder" /check ${road_option} "${utf8[@]+"${utf8[@]}"}" /setup "$tree/bin/SETUP.exe" "$script" "$package" \
        >/dev/null || [ $? = 1 ] || { echo "journey: $script has errors (above); nothing was walked" >&2; exit 2; }
fi

winpath() {  # a Unix path as Wine's Z: drive shows it
    printf 'Z:%s' "$(realpath -m "$1" | tr '/' '\\')"
}
run() {
    scripts/wine-run.sh --work "$root/$tree/wine" "$@"
}

# A package's media into $1 from its script $2 and package $3, for the roads in $4 ("cd" or
# "cd floppy"), with this tree's SETUP.exe and the builder options that follow: medium/ (one
# folder, as on a CD) and, for the floppy road, floppy/DISKn and their images.
lay_out_media() {
    local into="$1" from_script="$2" from_package="$3" roads="$4" way folder option
    shift 4
    for way in $roads; do
        folder=medium option=/cd
        [ "$way" = floppy ] && folder=floppy option=""
        "$builder" "$@" $option /setup "$tree/bin/SETUP.exe" "$from_script" "$from_package" "$into/$folder" \
            >/dev/null || { echo "journey: the builder refused $from_package (above); nothing was walked" >&2; exit 2; }
    done
    if [ "${roads#*floppy}" != "$roads" ]; then
        scripts/make-images.sh --floppy "$into/floppy" --cd "$into/medium" --iso "$into/medium.iso" >/dev/null
    fi
    media="$into"
}

# The media of a sample (clock or clock-floppy): $media/medium (one folder, as on a CD) and
# $media/floppy/DISKn.img. The shipped ones where dist/ has them, else built here from this
# tree's programs.
media_of() {  # $1: the sample
    local dist_media="$root/dist" built="$root/build/journey/media/$1"
    [ "$1" = clock ] || dist_media="$root/dist/$1"
    if [ "$own_media" = 0 ]; then
        [ -f "$dist_media/medium/SETUP.exe" ] && [ -f "$dist_media/floppy/DISK1.img" ] ||
            { echo "journey: no medium in $dist_media (run scripts/build.sh)" >&2; exit 1; }
        media="$dist_media"
        return
    fi
    builder="$(scripts/native-tools.sh)/buildmedium"
    rm -rf "$built"
    mkdir -p "$built"
    scripts/sample-package.sh "$1" "$tree/bin" "$built/package"
    lay_out_media "$built" "$built/package/SETUP.ini" "$built/package" "cd floppy" /utf8
}

# The author's media, from this tree's SETUP.exe: the CD folder, and on the floppy road the
# floppies with their images.
author_media_build() {
    rm -rf "$author_media"
    mkdir -p "$author_media"
    local roads=cd
    [ "$road" = floppy ] && roads="cd floppy"
    lay_out_media "$author_media" "$script" "$package" "$roads" "${utf8[@]+"${utf8[@]}"}"
}
[ -z "$package" ] || author_media_build

if [ "$mode" != journey ]; then
    media_of clock
    medium="$media/medium"
fi
if [ "$mode" = --bench ]; then
    bench_out="$root/build/install-bench"
    mkdir -p "$bench_out"
    failed=0
    for i in 1 2 3; do
        if ! run --suite journey --drive "d:cdrom:$medium" -- "$root/$tree/bin/journeydriver.exe" bench 'D:\' \
            "$(winpath "$bench_out")" | grep '^installation:'; then
            echo "journey: installation $i failed" >&2
            failed=1
        fi
    done
    exit "$failed"
fi
if [ "$mode" = --by-hand ]; then
    [ -n "${DISPLAY:-}" ] || { echo "journey: --by-hand needs a display (DISPLAY)" >&2; exit 2; }
    echo "== SETUP from drive D: (the medium); close the last window to end"
    run --suite journey --display --drive "d:cdrom:$medium" -- 'D:\SETUP.exe'
    exit 0
fi

# ---- the floppy drive -----------------------------------------------------------------------

# A disk in the drive: the folder behind A: emptied, then the image's files read into it.
insert_disk() {  # $1: image, $2: the folder behind A:
    [ -f "$1" ] || return 1
    mkdir -p "$2"
    find "$2" -mindepth 1 -delete
    LC_ALL=C.UTF-8 mcopy -i "$1" -s -m -n '::*' "$2/"
}

# Answers the driver's disk requests (disk-request.txt in its folder) while it runs.
floppy_changer() {  # $1: the driver's folder, $2: the folder behind A:, $3: the images' folder
    local n
    while :; do
        if [ -f "$1/disk-request.txt" ]; then
            n="$(cat "$1/disk-request.txt")"
            rm -f "$1/disk-request.txt"
            if [[ "$n" =~ ^[0-9]+$ ]] && insert_disk "$3/DISK$n.img" "$2"; then
                echo "ok: DISK$n.img read by mcopy into the folder behind A:" >"$1/disk-ready.partial"
            else
                echo "no DISK$n.img could be read" >"$1/disk-ready.partial"
            fi
            mv "$1/disk-ready.partial" "$1/disk-ready.txt"
        fi
        sleep 0.2
    done
}

# ---- one journey ----------------------------------------------------------------------------

html_escape() { sed -e 's/&/\&amp;/g' -e 's/</\&lt;/g' -e 's/>/\&gt;/g'; }

# What the design leaves on purpose: the copy of SETUP in the Windows directory, which the
# uninstall entry started, and the saver's settings, which are the user's own.
kept='\\windows\\SETUP\.exe |Norvane Settings'

# The names of the programs and screensavers a medium's setup script lists.
programs_of() {  # $1: the media
    local script="$1/medium/SETUP.ini"
    [ -f "$script" ] || script="$1/floppy/DISK1/SETUP.ini"
    iconv -f CP932 -t UTF-8 "$script" 2>/dev/null | tr -d '\r' |
        grep -ioE '^[^;=]*=[$][a-z]+:([^=]*[\\])?[^\\]+[.](exe|scr)$' | sed 's/.*[:\\]//' | sort -u || true
}

# Walks one journey into $1/ and writes its part of the page, $1/section.html.
walk_one() {  # $1: folder, $2: family (95 or nt), $3: road (cd or floppy), $4: the media, $5: heading
    local dir="$1" fam="$2" way="$3" from="$4" heading="$5"
    local version=win95 status=0 drive medium_win changer="" a_dir="" floppy_arg=()
    [ "$fam" = nt ] && version=nt40
    rm -rf "$dir"
    mkdir -p "$dir/shots"
    cp "$tree/tests/assist/rundll32_standin.exe" "$dir/rundll32_standin.exe"
    cp "$tree/tests/saver_host/fixtures/PASSWORD.CPL" "$dir/PASSWORD.CPL"
    if [ "$way" = floppy ]; then
        a_dir="$root/build/journey/drive-a-$(basename "$dir")"
        insert_disk "$from/floppy/DISK1.img" "$a_dir" || { echo "journey: no $from/floppy/DISK1.img" >&2; return 1; }
        drive="a:floppy:$a_dir" medium_win='A:\' floppy_arg=(--floppy)
        floppy_changer "$dir/shots" "$a_dir" "$from/floppy" &
        changer=$!
    else
        drive="d:cdrom:$from/medium" medium_win='D:\'
    fi
    local args=(--suite "journey-$(basename "$dir")" --family "$version" --reg "$root/scripts/fresh-windows.reg"
                --drive "$drive" --family-exe SETUP.exe) program
    # Where Wine cannot run the whole prefix as the family, the package's programs get it.
    for program in $(programs_of "$from"); do
        args+=(--family-exe "$program")
    done
    local driver="$root/$tree/bin/journeydriver.exe" shots
    shots="$(winpath "$dir/shots")"
    echo "== $heading"
    run "${args[@]}" -- "$driver" install "$medium_win" "$shots" "${floppy_arg[@]+"${floppy_arg[@]}"}" || status=1
    if [ -n "$changer" ]; then
        kill "$changer" 2>/dev/null || true
        wait "$changer" 2>/dev/null || true
    fi
    # The preview in a window of the Display control panel's monitor picture (see the driver).
    if [ "$status" = 0 ] && [ -f "$dir/shots/saver.txt" ]; then
        run "${args[@]}" --keep -- explorer.exe "/desktop=JourneyPreview,152x112" "$driver" preview \
            "$medium_win" "$shots" || status=1
    fi
    if [ "$status" = 0 ]; then
        echo "journey: restart (WININIT.INI is processed)"
        run "${args[@]}" --keep -- wineboot -r >/dev/null 2>&1 || true
        run "${args[@]}" --keep -- "$driver" uninstall "$medium_win" "$shots" || status=1
    fi
    [ "$drop_prefix" = 0 ] || rm -rf "$root/$tree/wine/suites/${args[1]}/prefix"
    rm -f "$dir/rundll32_standin.exe" "$dir/PASSWORD.CPL" "$dir/shots/SETUP.ini" "$dir/shots/disk-ready.txt" \
          "$dir/shots/saver.txt"
    [ -z "$a_dir" ] || rm -rf "$a_dir"
    local f bmp
    for f in before.txt restarted.txt after.txt rundll32.txt password.txt notes.txt; do
        [ -f "$dir/shots/$f" ] && mv "$dir/shots/$f" "$dir/$f"
    done
    # A step whose picture is missing from the page is a failed journey, not a quiet gap.
    for bmp in "$dir"/shots/*.bmp; do
        [ -f "$bmp" ] || continue
        if convert "$bmp" "${bmp%.bmp}.png"; then
            rm -f "$bmp"
        else
            echo "journey: the screenshot $(basename "$bmp") could not be converted" >&2
            status=1
        fi
    done
    local differences=""
    if [ -f "$dir/before.txt" ] && [ -f "$dir/after.txt" ]; then
        differences="$(diff <(grep -Eiv "$kept" "$dir/before.txt") <(grep -Eiv "$kept" "$dir/after.txt") || true)"
        if [ -n "$differences" ]; then
            echo "journey: $heading: the machine is not back as it was:" >&2
            echo "$differences" >&2
            status=1
        fi
    else
        status=1
    fi
    local name n=0 picture what
    name="$(basename "$dir")"
    {
        echo "<h2 id=\"$name\">$(printf '%s' "$heading" | html_escape)</h2>"
        [ "$status" = 0 ] || echo "<p><strong>This journey FAILED.</strong></p>"
        if [ -f "$dir/notes.txt" ]; then
            echo "<ul>"
            while IFS= read -r what; do
                echo "<li>$(printf '%s' "$what" | html_escape)</li>"
            done <"$dir/notes.txt"
            echo "</ul>"
        fi
        if [ -f "$dir/shots/steps.txt" ]; then
            while IFS=$'\t' read -r picture what; do
                n=$((n + 1))
                echo "<h3>$n. $(printf '%s' "$what" | html_escape)</h3>"
                echo "<img src=\"$name/shots/$picture\" alt=\"step $n\">"
            done <"$dir/shots/steps.txt"
        fi
        if [ -f "$dir/rundll32.txt" ]; then
            echo "<h3>The assistant's request to the Display control panel</h3>"
            echo "<p>Wine has no desk.cpl, so a stand-in rundll32.exe recorded the command line PAVRELL.exe started:</p>"
            echo "<pre>$(iconv -f CP932 -t UTF-8 "$dir/rundll32.txt" | html_escape)</pre>"
        fi
        if [ -f "$dir/password.txt" ]; then
            echo "<h3>The saver's password request to the platform</h3>"
            echo "<p>Wine has no PASSWORD.CPL, so a stand-in module in the system folder recorded what the saver asked of it (loaded at the start, VerifyScreenSavePwd with the saver's window at the key press, which it allowed):</p>"
            echo "<pre>$(tr -d '\r' <"$dir/password.txt" | html_escape)</pre>"
        fi
        for f in before restarted after; do
            [ -f "$dir/$f.txt" ] || continue
            echo "<h3>$f.txt</h3><pre>$(html_escape <"$dir/$f.txt")</pre>"
        done
        if [ -n "$differences" ]; then
            echo "<h3>Not back as it was</h3><pre>$(printf '%s\n' "$differences" | html_escape)</pre>"
        fi
    } >"$dir/section.html"
    return "$status"
}

# ---- the journeys -----------------------------------------------------------------------------

journeys=()   # family:road:sample
if [ -n "$package" ]; then
    journeys=("$family:$road:")
elif [ -z "$family" ]; then
    journeys=(95:floppy:clock-floppy nt:cd:clock)
else
    sample=clock
    [ "$road" = floppy ] && sample=clock-floppy
    journeys=("$family:$road:$sample")
fi
# The default folder is the kit's own: made anew. A folder given with --out keeps what else it holds.
[ "$out" = "$root/dist/journey" ] && rm -rf "$out"
mkdir -p "$out"
status=0
sections=() walkers=()
for j in "${journeys[@]}"; do
    IFS=: read -r fam way sample <<<"$j"
    what="examples/$sample"
    if [ -n "$package" ]; then
        what="$(basename "$package")"
    else
        media_of "$sample"
    fi
    if [ "$fam" = 95 ]; then who="Windows 95"; else who="Windows NT 4.0"; fi
    if [ "$way" = floppy ]; then
        heading="A $who user, from the floppy images ($what, $(ls "$media/floppy"/DISK*.img | wc -l) disks)"
    else
        heading="A $who user, from the CD ($what)"
    fi
    dir="$out/win$fam-$way"
    [ "$fam" = nt ] && dir="$out/nt40-$way"
    # The journeys share nothing (prefix, wineserver, display, drive folders are their own):
    # they run side by side, each telling its steps once it has ended.
    walk_one "$dir" "$fam" "$way" "$media" "$heading" >"$dir.log" 2>&1 &
    walkers+=($!)
    sections+=("$dir")
done
for i in "${!walkers[@]}"; do
    wait "${walkers[$i]}" || status=1
    cat "${sections[$i]}.log"
    rm -f "${sections[$i]}.log"
done

{
    echo '<!DOCTYPE html><html lang="ja"><head><meta charset="utf-8"><title>Journey</title>'
    echo '<style>body{font-family:sans-serif;max-width:1100px;margin:auto}img{max-width:100%;border:1px solid #888}pre{background:#eee;padding:6px;overflow:auto}h2{border-top:3px solid #446;padding-top:12px}</style></head><body>'
    echo "<h1>The kit's journeys: install, screensaver, uninstall, on each family</h1>"
    echo "<p>Programs that ran: $which_build. Each journey runs in a Wine prefix of its own that reports that Windows version; its registered user sits where that family keeps it, and a .txt opens in Notepad as on a fresh Windows.</p><ul>"
    for dir in "${sections[@]}"; do
        echo "<li><a href=\"#$(basename "$dir")\">$(head -n 1 "$dir/section.html" | sed 's/<[^>]*>//g')</a></li>"
    done
    echo "</ul>"
    echo "<p>Left on purpose, in every journey: SETUP.exe in the Windows directory (the uninstall entry started it, and a program cannot delete itself), and the screensaver's settings under HKEY_CURRENT_USER\\Software\\Norvane Settings (the user's own choices).</p>"
    for dir in "${sections[@]}"; do
        cat "$dir/section.html"
        rm -f "$dir/section.html"
    done
    echo "</body></html>"
} >"$out/index.html"

if [ "$status" = 0 ]; then
    echo "journey: done, the machine is back as it was after each journey; see $out/index.html"
else
    echo "journey: FAILED; see $out/index.html" >&2
fi
exit "$status"
