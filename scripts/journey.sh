#!/bin/bash
# The whole journey of one user, under Wine, from the medium that scripts/build.sh made:
# SETUP from the CD drive with every page answered, the assistant that FinalExec starts, the
# installed screensaver full screen and in a preview, a restart (the platform then deletes
# the staged files named in WININIT.INI), and the uninstall from the uninstall entry.
# Leaves dist/journey/: a screenshot of every step, index.html that shows them in order, and
# before.txt / after.txt listing the files and keys the kit touches. Fails when the machine is
# not back as it was, apart from what the design leaves on purpose.
#
#   scripts/journey.sh             the journey without a person (own Xvfb)
#   scripts/journey.sh --by-hand   SETUP from the medium on $DISPLAY, for a person to click
#   scripts/journey.sh --bench     three installations timed against their 100 ms pauses
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

mode="${1:-journey}"
case "$mode" in
    journey|--by-hand|--bench) ;;
    *) echo "usage: scripts/journey.sh [--by-hand|--bench]" >&2; exit 2 ;;
esac

jobs="$(nproc)"
. scripts/wine-arch.sh
arch="$KIT_WINE_ARCH"
kit_wine_tree "$root"
tree="$KIT_WINE_TREE"
out="$root/dist/journey"
if [ "$arch" = win32 ]; then
    medium="$root/dist/medium"
    which_build="the shipped 32-bit programs (dist/bin, i686)"
else
    # Wine runs 64-bit programs only here: the journey installs the x86_64 build of the same
    # sources from a medium of its own; dist/medium keeps the shipped 32-bit programs.
    medium="$root/build/journey-medium"
    which_build="the x86_64 build of the same sources (this machine cannot run 32-bit programs; dist/medium holds the shipped 32-bit ones)"
fi
echo "== journey with $which_build"
cmake --build "$tree" -j "$jobs" --target setup_exe saver_scr pavrell_exe \
      journeydriver assist_rundll32_standin >/dev/null

winpath() {  # a Unix path as Wine's Z: drive shows it
    printf 'Z:%s' "$(realpath -m "$1" | tr '/' '\\')"
}
run() {
    scripts/wine-run.sh --work "$root/$tree/wine" --suite journey "$@"
}

if [ "$arch" != win32 ]; then
    package="$root/build/journey-package"
    rm -rf "$package" "$medium"
    mkdir -p "$package"
    cp examples/clock/SETUP.ini examples/clock/*.bmp examples/clock/Pavrell.ini examples/clock/Velmora.ini "$package/"
    cp "$tree/bin/Tessary.scr" "$tree/bin/PAVRELL.exe" "$package/"
    "$(scripts/native-tools.sh)/buildmedium" /cd /setup "$tree/bin/SETUP.exe" "$package/SETUP.ini" "$package" \
        "$medium" >/dev/null
fi
[ -f "$medium/SETUP.exe" ] || { echo "journey: no medium in $medium (run scripts/build.sh)" >&2; exit 1; }

if [ "$mode" = --bench ]; then
    bench_out="$root/build/install-bench"
    mkdir -p "$bench_out"
    failed=0
    for i in 1 2 3; do
        if ! run --drive "d:cdrom:$medium" -- "$root/$tree/bin/journeydriver.exe" bench 'D:\' \
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
    run --display --drive "d:cdrom:$medium" -- 'D:\SETUP.exe'
    exit 0
fi

rm -rf "$out"
mkdir -p "$out/shots"
cp "$tree/tests/assist/rundll32_standin.exe" "$out/shots/../rundll32_standin.exe"
driver="$root/$tree/bin/journeydriver.exe"
status=0
run --drive "d:cdrom:$medium" -- "$driver" install 'D:\' "$(winpath "$out/shots")" || status=1
if [ "$status" = 0 ]; then
    echo "journey: restart (WININIT.INI is processed)"
    run --keep -- wineboot -r >/dev/null 2>&1 || true
    run --keep --drive "d:cdrom:$medium" -- "$driver" uninstall 'D:\' "$(winpath "$out/shots")" ||
        status=1
fi
rm -f "$out/rundll32_standin.exe"
for f in before.txt restarted.txt after.txt rundll32.txt; do
    [ -f "$out/shots/$f" ] && mv "$out/shots/$f" "$out/$f"
done
# A step whose picture is missing from the page is a failed journey, not a quiet gap.
for bmp in "$out"/shots/*.bmp; do
    [ -f "$bmp" ] || continue
    if convert "$bmp" "${bmp%.bmp}.png"; then
        rm -f "$bmp"
    else
        echo "journey: the screenshot $(basename "$bmp") could not be converted" >&2
        status=1
    fi
done

# What the design leaves on purpose: the copy of SETUP in the Windows directory, which the
# uninstall entry started, and the saver's settings, which are the user's own.
kept='\\windows\\SETUP\.exe |Norvane Settings'
differences=""
if [ -f "$out/before.txt" ] && [ -f "$out/after.txt" ]; then
    differences="$(diff <(grep -Eiv "$kept" "$out/before.txt") <(grep -Eiv "$kept" "$out/after.txt") || true)"
    if [ -n "$differences" ]; then
        echo "journey: the machine is not back as it was:" >&2
        echo "$differences" >&2
        status=1
    fi
else
    status=1
fi

html_escape() { sed -e 's/&/\&amp;/g' -e 's/</\&lt;/g' -e 's/>/\&gt;/g'; }
{
    echo '<!DOCTYPE html><html lang="ja"><head><meta charset="utf-8"><title>Journey</title>'
    echo '<style>body{font-family:sans-serif;max-width:1100px;margin:auto}img{max-width:100%;border:1px solid #888}pre{background:#eee;padding:6px;overflow:auto}</style></head><body>'
    echo "<h1>The kit's journey: install, screensaver, uninstall</h1>"
    echo "<p>Programs that ran: $which_build.</p>"
    n=0
    if [ -f "$out/shots/steps.txt" ]; then
        while IFS=$'\t' read -r picture what; do
            n=$((n + 1))
            echo "<h2>$n. $(printf '%s' "$what" | html_escape)</h2>"
            echo "<img src=\"shots/$picture\" alt=\"step $n\">"
        done <"$out/shots/steps.txt"
    fi
    if [ -f "$out/rundll32.txt" ]; then
        echo "<h2>The assistant's request to the Display control panel</h2>"
        echo "<p>Wine has no desk.cpl, so a stand-in rundll32.exe recorded the command line PAVRELL.exe started:</p>"
        echo "<pre>$(iconv -f CP932 -t UTF-8 "$out/rundll32.txt" | html_escape)</pre>"
    fi
    for f in before restarted after; do
        [ -f "$out/$f.txt" ] || continue
        echo "<h2>$f.txt</h2><pre>$(html_escape <"$out/$f.txt")</pre>"
    done
    echo "<h2>Left on purpose</h2><ul><li>SETUP.exe in the Windows directory: the uninstall entry started it, and a program cannot delete itself.</li>"
    echo "<li>The screensaver's settings under HKEY_CURRENT_USER\\Software\\Norvane Settings: the user's own choices.</li></ul>"
    if [ -n "$differences" ]; then
        echo "<h2>Not back as it was</h2><pre>$(printf '%s\n' "$differences" | html_escape)</pre>"
    fi
    echo "</body></html>"
} >"$out/index.html"

if [ "$status" = 0 ]; then
    echo "journey: done, the machine is back as it was; see dist/journey/index.html"
else
    echo "journey: FAILED; see dist/journey/index.html" >&2
fi
exit "$status"
