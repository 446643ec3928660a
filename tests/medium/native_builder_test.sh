#!/bin/bash
# The native buildmedium against BuildMedium.exe under Wine, case by case: the same exit
# status, the same lines (host paths aside, the platform's Z:\ against Linux's /) and the
# same medium byte for byte, for the sample package, the reference's two-disk example and
# the inputs both must refuse. Then the sample's medium and images built twice, in other
# folders at another time, and compared byte for byte.
#   native_builder_test.sh SOURCE_DIR BIN_DIR WINE_WORK WORK
set -uo pipefail
src="$1" bin="$2" wine_work="$3" work="$4"
export LC_ALL=C.UTF-8
failed=0
check() {  # what, then a command that must succeed
    local what="$1"
    shift
    if "$@"; then echo "ok    $what"; else echo "FAIL  $what"; failed=1; fi
}
winpath() { printf 'Z:%s' "$(realpath -m "$1" | tr '/' '\\')"; }

native="$("$src/scripts/native-tools.sh" 2>/dev/null)/buildmedium"
[ -x "$native" ] || { echo "FAIL  the native tools do not build: $src/scripts/native-tools.sh"; exit 1; }
# Both builders run as an author's own account does: root may read any file, which would
# hide one that cannot be read.
as_author=()
[ "$(id -u)" = 0 ] && as_author=(setpriv --bounding-set=-dac_override,-dac_read_search --)

chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"
mkdir -p "$work/cases"

sample="$work/sample"
mkdir -p "$sample"
cp "$src"/examples/clock/{title.bmp,clock.bmp,Pavrell.ini,Velmora.ini} "$bin/Tessary.scr" "$bin/PAVRELL.exe" "$sample/"
cp "$src/examples/clock/SETUP.utf8.ini" "$sample/SETUP.ini"

# The reference's complete example, with a package made up for it.
reference="$work/reference"
check "the reference's example names two pictures and four files" \
    [ "$(bash "$src/tests/medium/reference_package.sh" "$src" "$bin" "$reference" | wc -l)" = 6 ]

# A case: its package (a copy of a base, then spoilt), the builders' options, the status
# both must give. Spoilers get the case's package and its two output folders.
case_names=()
snapshot() { find "$1" -printf '%P %y %s\n' | sort; }
add_case() {  # name, base package, expected status, spoiler, options...
    local name="$1" base="$2" status="$3" spoil="$4"
    shift 4
    local c="$work/cases/$name"
    mkdir -p "$c/w" "$c/n"
    cp -r "$base" "$c/pkg"
    $spoil "$c/pkg" "$c/w/medium" "$c/n/medium"
    snapshot "$c/n" >"$c/before"
    printf '%s\n' "$status" >"$c/expected"
    printf '%s\n' "$@" >"$c/options"
    case_names+=("$name")
}
as_is() { :; }
# Characters where tables of Shift-JIS differ, in the welcome text.
readme() { sed -i "/^\[README\]/,/^\[DISK1\]/ { $2; }" "$1/SETUP.ini"; }
tricky_accepted() { readme "$1" 's/^1=\(.*\)/1=\1～①Ⅰⅰ∵￢髙ｶﾅ\\/'; }
tricky_refused() { readme "$1" 's/^2=\(.*\)/2=\1〜/; s/^3=\(.*\)/3=\1¥/'; }
not_utf8() { printf '4=\x8E\x9E\x8C\x76\n' >>"$1/SETUP.ini"; }
names() {  # a Japanese name, and a name whose case differs from the package's
    sed -i 's/^1=\$App:Tessary.scr/1=$App:Tessary.scr\n4=$App:時計.txt\n5=$App:VELMORA.INI/' "$1/SETUP.ini"
    sed -i '/^[0-9]=\$App:Velmora.ini/d' "$1/SETUP.ini"
    printf 'ようこそ\r\n' >"$1/時計.txt"
}
missing() { rm "$1/Pavrell.ini"; }
a_folder() { rm "$1/Pavrell.ini" && mkdir "$1/Pavrell.ini"; }
unreadable() { chmod 000 "$1/PAVRELL.exe"; }
overflow() { perl -e 'srand(7); print map { chr(int(rand(256))) } 1 .. 1500000' >"$1/PAVRELL.exe"; }
output_a_file() { echo "the author's own file" | tee "$2" >"$3"; }
missing_over_earlier() {  # the package's earlier medium in both folders
    "$native" /cd /utf8 /setup "$bin/SETUP.exe" "$1/SETUP.ini" "$1" "$2" >/dev/null && cp -r "$2" "$3" && missing "$1"
}
fifo_listed() { mkfifo "$1/PIPE.DAT" && sed -i 's/^1=\$App:Tessary.scr/&\n9=$App:PIPE.DAT/' "$1/SETUP.ini"; }
fifo_picture() { rm "$1/title.bmp" && mkfifo "$1/title.bmp"; }
photos() { mkdir -p "$2" "$3" && echo photo | tee "$2/holiday.jpg" >"$3/holiday.jpg"; }
not_shift_jis() {  # a Shift-JIS script with bytes that are not Shift-JIS: SETUP accepts it
    iconv -f UTF-8 -t CP932 "$1/SETUP.ini" | LC_ALL=C sed 's/$/\r/; s/^SubTitle=/SubTitle=\xFF\xA0/' >"$1/SETUP.sjis"
    mv "$1/SETUP.sjis" "$1/SETUP.ini"
}

add_case sample-cd "$sample" 0 as_is /cd /utf8
add_case sample-floppy "$sample" 0 as_is /utf8
add_case reference-floppy "$reference" 0 as_is /utf8
add_case reference-cd "$reference" 0 as_is /cd /utf8
add_case reference-check "$reference" 0 as_is /check /utf8
add_case tricky-accepted "$sample" 0 tricky_accepted /cd /utf8
add_case tricky-refused "$sample" 2 tricky_refused /cd /utf8
add_case not-utf8 "$sample" 2 not_utf8 /utf8
add_case names "$sample" 0 names /utf8
add_case missing-file "$sample" 2 missing /utf8
add_case folder-for-a-file "$sample" 2 a_folder /utf8
add_case unreadable-file "$sample" 2 unreadable /utf8
add_case disk-overflows "$sample" 2 overflow /utf8
add_case output-is-a-file "$sample" 2 output_a_file /cd /utf8
add_case earlier-medium-kept "$sample" 2 missing_over_earlier /cd /utf8
add_case not-shift-jis "$sample" 0 not_shift_jis /cd
add_case fifo-listed "$sample" 2 fifo_listed /utf8
add_case fifo-picture "$sample" 2 fifo_picture /check /utf8
add_case output-holds-photos "$sample" 2 photos /cd /utf8
add_case sample-label "$sample" 0 as_is /label /utf8
add_case reference-label "$reference" 0 as_is /label /utf8

# Every case under Wine in one session, then natively.
batch="$work/cases.bat"
printf '@echo off\r\n' >"$batch"
for name in "${case_names[@]}"; do
    c="$work/cases/$name"
    mapfile -t options <"$c/options"
    args=("${options[@]}")
    [ "${options[0]}" = /label ] || args+=(/setup "$(winpath "$bin/SETUP.exe")")
    args+=("$(winpath "$c/pkg/SETUP.ini")")
    [ "${options[0]}" = /label ] || args+=("$(winpath "$c/pkg")")
    [[ "${options[0]}" =~ ^/(check|label)$ ]] || args+=("$(winpath "$c/w/medium")")
    printf '"%s"' "$(winpath "$bin/BuildMedium.exe")" >>"$batch"
    printf ' "%s"' "${args[@]}" >>"$batch"
    printf ' >"%s" 2>"%s"\r\n>"%s" echo %%ERRORLEVEL%%\r\n' "$(winpath "$c/w.out")" "$(winpath "$c/w.err")" \
        "$(winpath "$c/w.status")" >>"$batch"
done
"${as_author[@]}" "$src/scripts/wine-run.sh" --work "$wine_work" --suite native_builder -- cmd /c "$(winpath "$batch")"
for name in "${case_names[@]}"; do
    c="$work/cases/$name"
    mapfile -t options <"$c/options"
    args=("${options[@]}")
    [ "${options[0]}" = /label ] || args+=(/setup "$bin/SETUP.exe")
    args+=("$c/pkg/SETUP.ini")
    [ "${options[0]}" = /label ] || args+=("$c/pkg")
    [[ "${options[0]}" =~ ^/(check|label)$ ]] || args+=("$c/n/medium")
    "${as_author[@]}" "$native" "${args[@]}" >"$c/n.out" 2>"$c/n.err"
    echo $? >"$c/n.status"
done

# The lines as both print them, with the case's output folder as OUT and the work folder as
# ROOT; the platform's host paths in Linux's form. The medium's own paths keep their '\'.
normalize() {  # file, w or n, case folder
    if [ "$2" = w ]; then
        OUT="$(winpath "$3/w")" ROOT="$(winpath "$work")" perl -pe 's/\r$//;
            s{\Q$ENV{OUT}\E([^: \n]*)}{"OUT" . ($1 =~ tr|\\|/|r)}ge;
            s{\Q$ENV{ROOT}\E([^: \n]*)}{"ROOT" . ($1 =~ tr|\\|/|r)}ge' "$1"
    else
        OUT="$3/n" ROOT="$work" perl -pe 's{\Q$ENV{OUT}\E}{OUT}g; s{\Q$ENV{ROOT}\E}{ROOT}g' "$1"
    fi
}
nothing_written() {  # by a refused build, in its case folder
    diff "$1/before" <(snapshot "$1/n")
}
same_lines() {  # case folder, out or err
    diff <(normalize "$1/w.$2" w "$1") <(normalize "$1/n.$2" n "$1")
}
for name in "${case_names[@]}"; do
    c="$work/cases/$name"
    expected="$(cat "$c/expected")"
    check "$name: exit status $expected from both" \
        [ "$(tr -d ' \r\n' <"$c/w.status" 2>/dev/null)|$(cat "$c/n.status")" = "$expected|$expected" ]
    check "$name: the same standard output" same_lines "$c" out
    check "$name: the same error output" same_lines "$c" err
    check "$name: the same medium, byte for byte" diff -r "$c/w" "$c/n"
    if [ "$expected" != 0 ]; then
        check "$name: nothing half written" nothing_written "$c"
    fi
done
check "the refused characters are named with their lines" [ "$(grep -cE \
    'SETUP.ini:(33: error: U\+301C|34: error: U\+00A5) at column' "$work/cases/tricky-refused/n.err")" = 2 ]
check "an earlier medium is kept when a build is refused" \
    test -f "$work/cases/earlier-medium-kept/n/medium/Pavrell.in_"
check "the Japanese name lies on the medium under its UTF-8 name" \
    test -f "$work/cases/names/n/medium/DISK1/時計.tx_" -a -f "$work/cases/names/n/medium/DISK1/VELMORA.IN_"

# The sample's medium and images twice: other folders, other file dates in the package,
# another hour and time zone, SOURCE_DATE_EPOCH the same.
repro() {  # folder, date of the package's files, SOURCE_DATE_EPOCH, TZ
    local b="$1"
    mkdir -p "$b/pkg" "$b/dist"
    cp -p "$sample"/* "$b/pkg/"
    find "$b/pkg" -exec touch -d "$2" {} +
    { "$native" /cd /utf8 /setup "$bin/SETUP.exe" "$b/pkg/SETUP.ini" "$b/pkg" "$b/dist/medium" &&
      "$native" /utf8 /setup "$bin/SETUP.exe" "$b/pkg/SETUP.ini" "$b/pkg" "$b/dist/floppy" &&
      SOURCE_DATE_EPOCH="$3" TZ="$4" "$src/scripts/make-images.sh" --builder "$native" \
          --floppy "$b/dist/floppy" --cd "$b/dist/medium"; } >/dev/null
}
check "the sample's medium and images are made" repro "$work/repro/first" "2001-02-03 04:05:06" 1000000000 UTC
sleep 2
repro "$work/repro/second/deeper" now 1000000000 Asia/Tokyo
check "made again elsewhere at another time: the same bytes" diff -r "$work/repro/first/dist" \
    "$work/repro/second/deeper/dist"
repro "$work/repro/third" now 1000000002 UTC
differ() { ! cmp -s "$1" "$2"; }
for image in floppy/DISK1.img medium.iso; do
    check "$image carries SOURCE_DATE_EPOCH's dates" differ "$work/repro/first/dist/$image" \
        "$work/repro/third/dist/$image"
done
exit $failed
