#!/bin/bash
# An author's package walked by scripts/journey.sh: the reference's complete two-disk example
# (docs/setup-script.md) with files of its own, from the floppy images on the Windows 95
# family and from a CD on NT 4.0, each page with its disk change; and a script with an error
# stopped with the builder's message before Wine starts.
#   author_journey_test.sh SOURCE_DIR WORK
set -uo pipefail
src="$1" work="$2"
failed=0
check() {  # what, then a command that must succeed
    local what="$1"
    shift
    if "$@"; then echo "ok    $what"; else echo "FAIL  $what"; failed=1; fi
}

rm -rf "$work"
pkg="$work/KumoMemo"
# The reference's example as the other medium tests lay it out, from this tree's programs.
bash "$src/tests/medium/reference_package.sh" "$src" "$KIT_JOURNEY_TREE/bin" "$pkg" >/dev/null
check "the reference's example has two disks" grep -q '^\[DISK2\]' "$pkg/SETUP.ini"

for road in 95:--floppy:win95-floppy nt::nt40-cd; do
    IFS=: read -r family floppy dir <<<"$road"
    out="$work/pages-$family"
    "$src/scripts/journey.sh" --script "$pkg/SETUP.ini" --package "$pkg" --utf8 $floppy --family "$family" \
        --out "$out" >"$work/$family.log" 2>&1
    check "$dir: the journey ends with the machine as it was" [ $? = 0 ]
    check "$dir: its page shows the disk change" grep -q 'disk-change.png' "$out/index.html"
    check "$dir: SYS\\KUMOLIB.DLL of DISK2 was installed" grep -qi 'KUMOLIB.DLL' "$out/$dir/restarted.txt"
    check "$dir: no screensaver step for a package without one" [ -z "$(ls "$out/$dir/shots" | grep saver)" ]
done

bad="$work/bad"
cp -r "$pkg" "$bad"
sed -i 's/^Uninstall=1/Uninstall=yes/' "$bad/SETUP.ini"
said="$("$src/scripts/journey.sh" --script "$bad/SETUP.ini" --package "$bad" --utf8 --out "$work/pages-bad" 2>&1)"
check "a bad script stops the journey" [ $? = 2 ]
check "with the builder's message" grep -q 'SETUP.ini:[0-9]*: error: Uninstall is "yes"' <<<"$said"
check "before Wine starts" [ ! -e "$work/pages-bad" ]
[ "$failed" = 0 ] || { echo "logs: $work/*.log"; exit 1; }
