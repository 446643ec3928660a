#!/bin/bash
# Runs one Windows program (normally a test program) under Wine in a private environment:
# a fresh copy of the prefix template, code page 932, its own Xvfb, and a wineserver that
# is shut down at the end. Everything it starts is stopped by pid or by its own prefix.
#
#   wine-run.sh --work DIR [--suite NAME] [--screen WxHxD] [--drive L:TYPE[:UNIXDIR]]...
#               [--win95 EXE]... [--family win95|nt40 [--family-exe EXE]...] [--reg FILE]...
#               [--keep] [--display] -- PROGRAM [ARGS...]
#
#   --drive  TYPE is hd, cdrom, floppy, network or absent; without UNIXDIR the drive gets an
#            empty folder of the suite (KIT_DRIVE_<L> names it for the program).
#   --win95  makes GetVersionExA report the Windows 95 family to that program only.
#   --family makes the whole prefix report that Windows (HKCU\Software\Wine Version), as a
#            user's machine of that family does. Where this Wine does not run a whole prefix
#            as it (its own cmd reports another version), it says so and sets the family per
#            program instead: for PROGRAM and every --family-exe EXE (a file name).
#   --reg    imports a REGEDIT4 file (UTF-8) before the program starts.
#   --keep   goes on in the suite's prefix of an earlier run instead of a fresh copy, as a
#            machine keeps its disk from one session to the next.
#   --display  shows the windows on the caller's $DISPLAY (for a person) instead of an Xvfb.
# The program sees KIT_SUITE_DIR (the suite's Unix folder) and KIT_UNDER_WINE=1.
set -u

work="" suite="default" screen="1024x768x24"
drives=() win95=() regs=() keep=0 own_display=0 family="" family_exes=()
while [ $# -gt 0 ]; do
    case "$1" in
        --work) work="$2"; shift 2 ;;
        --suite) suite="$2"; shift 2 ;;
        --screen) screen="$2"; shift 2 ;;
        --drive) drives+=("$2"); shift 2 ;;
        --win95) win95+=("$2"); shift 2 ;;
        --reg) regs+=("$2"); shift 2 ;;
        --family) family="$2"; shift 2 ;;
        --family-exe) family_exes+=("$2"); shift 2 ;;
        --keep) keep=1; shift ;;
        --display) own_display=1; shift ;;
        --) shift; break ;;
        *) echo "wine-run: unknown option $1" >&2; exit 2 ;;
    esac
done
[ $# -ge 1 ] || { echo "wine-run: no program given" >&2; exit 2; }
[ -n "$work" ] || { echo "wine-run: --work is required" >&2; exit 2; }
case "$family" in
    ""|win95|nt40) ;;
    *) echo "wine-run: --family is win95 or nt40, not $family" >&2; exit 2 ;;
esac
export KIT_WINE_WORK="$work"
# shellcheck source=wine-env.sh
. "$(dirname "$0")/wine-env.sh"

kit_ensure_template || exit 1

suite_dir="$KIT_WINE_WORK/suites/$suite"
prefix="$suite_dir/prefix"
if [ "$keep" = 0 ] || [ ! -f "$prefix/system.reg" ]; then
    rm -rf "$suite_dir"
    mkdir -p "$suite_dir"
    cp -a "$KIT_TEMPLATE" "$prefix"
fi
# The user's folders (Desktop, Documents...) link to the home the template was made in,
# which is gone: give the suite real folders, as Windows has, or the shell cannot find them.
for link in "$prefix"/drive_c/users/*/*; do
    if [ -L "$link" ] && [ ! -e "$link" ]; then
        rm -f "$link" && mkdir -p "$link"
    fi
done
kit_wine_exports "$prefix"
export KIT_SUITE_DIR="$suite_dir" KIT_UNDER_WINE=1

cleanup() {
    kit_stop_wineserver
    kit_stop_xvfb
    # A whole test run makes one prefix a suite (about half a gigabyte each): the test command
    # drops each once its suite has ended, keeping the suite's own files beside it.
    if [ "${KIT_DROP_PREFIX:-0}" = 1 ]; then rm -rf "$prefix"; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

if [ "$own_display" = 1 ]; then
    [ -n "${DISPLAY:-}" ] || { echo "wine-run: --display needs DISPLAY" >&2; exit 2; }
else
    kit_start_xvfb "$screen" || exit 1
fi

reg="$suite_dir/harness.reg"
echo "REGEDIT4" >"$reg"
for d in "${drives[@]+"${drives[@]}"}"; do
    letter="${d%%:*}"; rest="${d#*:}"; type="${rest%%:*}"; dir=""
    [ "$rest" != "$type" ] && dir="${rest#*:}"
    letter="$(echo "$letter" | tr 'A-Z' 'a-z')"
    rm -f "$prefix/dosdevices/$letter:" "$prefix/dosdevices/$letter::"
    if [ "$type" = "absent" ]; then
        printf '\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\n"%s:"=-\n' "$letter" >>"$reg"
        continue
    fi
    if [ -z "$dir" ]; then
        dir="$suite_dir/drive_$letter"
        mkdir -p "$dir"
    fi
    ln -s "$dir" "$prefix/dosdevices/$letter:"
    upper="$(echo "$letter" | tr 'a-z' 'A-Z')"
    export "KIT_DRIVE_$upper=$dir"
    printf '\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\n"%s:"="%s"\n' "$letter" "$type" >>"$reg"
done
for exe in "${win95[@]+"${win95[@]}"}"; do
    printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\%s]\n"Version"="win95"\n' "$exe" >>"$reg"
done
if [ -n "$family" ]; then
    printf '\n[HKEY_CURRENT_USER\\Software\\Wine]\n"Version"="%s"\n' "$family" >>"$reg"
fi
if [ "$(wc -l <"$reg")" -gt 1 ]; then
    kit_import_reg "$reg" || exit 1
fi
for r in "${regs[@]+"${regs[@]}"}"; do
    kit_import_reg "$r" || exit 1
done
# Drive and version settings are read when the wineserver starts.
kit_stop_wineserver

# The version Wine's own cmd reports tells whether the whole prefix runs as the family.
family_reported() {
    "$KIT_WINE" cmd /c ver 2>/dev/null | tr -d '\r' | grep -o '[0-9][0-9.]*[0-9]' | tail -n 1
}
# A prefix that went on from a run which found it whole is not asked again.
if [ -n "$family" ] && [ "$(cat "$suite_dir/family-whole" 2>/dev/null)" != "$family" ]; then
    reported="$(family_reported)" whole=0
    case "$family:$reported" in
        nt40:4.0.1381) whole=1 ;;
        win95:4.0.1381) ;;
        win95:4.0.*) whole=1 ;;
    esac
    [ "$whole" = 0 ] || echo "$family" >"$suite_dir/family-whole"
    if [ "$whole" = 0 ]; then
        per_program=("${1##*[\\/]}" "${family_exes[@]+"${family_exes[@]}"}")
        echo "wine-run: this Wine does not run a whole prefix as $family (its cmd reports" \
             "\"${reported:-nothing}\"); $family is set per program instead, for: ${per_program[*]}" >&2
        reg="$suite_dir/family.reg"
        echo "REGEDIT4" >"$reg"
        for exe in "${per_program[@]}"; do
            printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\%s]\n"Version"="%s"\n' "$exe" "$family" >>"$reg"
        done
        kit_import_reg "$reg" || exit 1
        kit_stop_wineserver
    fi
fi

"$KIT_WINE" "$@"
status=$?
# A person's session lasts until the last window of the programs it started has closed.
[ "$own_display" = 1 ] && "$KIT_WINESERVER" -w

exit $status
