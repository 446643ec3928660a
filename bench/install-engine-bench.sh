#!/bin/bash
# Benchmark of the installation engine under Wine (not part of the test command): the sample
# package's medium, made by the medium builder, in a CD drive D:, installed through the
# progress dialog by a driver program. Prints the time beside the sum of the 100 ms pauses
# between the steps; the overhead beyond them is the figure.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
arch="$(KIT_WINE_WORK=/nonexistent bash -c '. scripts/wine-env.sh && echo "$KIT_WINE_ARCH"')"
if [ "$arch" = win32 ]; then
    tree=build/win32 toolchain=cmake/toolchain-i686-mingw32.cmake
else
    tree=build/win64 toolchain=cmake/toolchain-x86_64-mingw32.cmake
fi
[ -f "$tree/CMakeCache.txt" ] || cmake -S . -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/$toolchain" >/dev/null
cmake --build "$tree" -j 2 --target install_engine_bench buildmedium setup_exe saver_scr pavrell_exe \
    >/dev/null

work="$root/$tree/bench-install"
rm -rf "$work"
mkdir -p "$work/package"
cp examples/clock/SETUP.ini examples/clock/*.bmp examples/clock/Pavrell.ini "$work/package/"
cp "$tree/bin/Tessary.scr" "$tree/bin/PAVRELL.exe" "$work/package/"
winpath() { printf 'Z:%s' "$(realpath -m "$1" | tr '/' '\\')"; }
scripts/wine-run.sh --work "$root/$tree/wine" --suite install-bench-medium -- \
    "$tree/bin/BuildMedium.exe" /cd /setup "$(winpath "$tree/bin/SETUP.exe")" \
    "$(winpath "$work/package/SETUP.ini")" "$(winpath "$work/package")" "$(winpath "$work/medium")" \
    >/dev/null
echo "== installation engine ($arch build), the sample package from a CD in D:"
scripts/wine-run.sh --work "$root/$tree/wine" --suite install-bench --drive "D:cdrom:$work/medium" \
    -- "$root/$tree/tests/engine/install_engine_bench.exe"
