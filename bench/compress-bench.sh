#!/bin/bash
# Benchmark, not a test: compresses a fixed corpus with our SZDD compressor and with
# Debian's mscompress side by side and prints sizes, the ratio ours/mscompress and the
# throughput of both (bytes per CPU second, user + system, of each run).
#   bench/compress-bench.sh [FILE...]   extra files are added to the corpus
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
command -v mscompress >/dev/null || { echo "mscompress missing: run scripts/install-deps.sh" >&2; exit 1; }

work=build/bench
mkdir -p "$work/corpus"
# Our compressor as the medium builder uses it, optimised and linked statically like
# mscompress is small, so that process start weighs alike on small files.
clang++ -O2 -std=c++17 -static -Itools/szdd tools/szdd/szdd.cpp tools/szdd/szddcompress.cpp -o "$work/szddcompress"

# Pieces every Debian machine with the kit's dependencies can make: Shift-JIS text from the
# Japanese messages of coreutils, bitmaps from the Debian logo.
corpus="$work/corpus"
python3 - "$corpus/coreutils-ja.txt" <<'PY'
import gettext, sys
with open('/usr/share/locale/ja/LC_MESSAGES/coreutils.mo', 'rb') as f:
    catalog = gettext.GNUTranslations(f)._catalog
text = '\r\n'.join(str(v) for k, v in sorted(catalog.items(), key=lambda kv: str(kv[0])) if k)
open(sys.argv[1], 'wb').write(text.encode('cp932', errors='replace'))
PY
convert /usr/share/pixmaps/debian-logo.png -background white -flatten -resize 640x480 BMP3:"$corpus/logo-24bit.bmp"
convert /usr/share/pixmaps/debian-logo.png -background white -flatten -resize 640x480 -colors 16 -type palette \
    BMP3:"$corpus/logo-4bit.bmp"

wine32=/usr/lib/i386-linux-gnu/wine/i386-windows
bin=dist/bin
[ -f "$bin/SETUP.exe" ] || bin=build/win32/bin
files=(
    "installer:$bin/SETUP.exe" "installer:$bin/Tessary.scr" "installer:$bin/PAVRELL.exe"
    "installer:examples/clock/SETUP.ini" "installer:$corpus/coreutils-ja.txt"
    "installer:examples/clock/title.bmp" "installer:examples/clock/clock.bmp"
    "installer:$corpus/logo-24bit.bmp" "installer:$corpus/logo-4bit.bmp"
    "installer:$wine32/notepad.exe" "installer:$wine32/regedit.exe" "installer:$wine32/winmm.dll"
    "system:/usr/share/common-licenses/GPL-3" "system:/usr/lib/locale/C.utf8/LC_CTYPE"
    "system:/usr/bin/bash" "system:/usr/lib/x86_64-linux-gnu/libc.so.6"
)
for extra in "$@"; do files+=("extra:$extra"); done
exec python3 bench/compress_bench.py "$work" "${files[@]}"
