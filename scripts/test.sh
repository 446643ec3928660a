#!/bin/bash
# Every test of the kit: native tests under the sanitizers, a few seconds of each fuzzer,
# the compatibility check of the programs, and the Win32 tests under Wine.
# Installs what it needs first; safe to run again.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh

jobs="$(nproc)"
status=0

echo "== native tests and fuzzers (clang, AddressSanitizer, UndefinedBehaviorSanitizer)"
CC=clang CXX=clang++ cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j "$jobs"
(cd build/native && ctest --output-on-failure -j "$jobs") || status=1

# Where the kernel cannot run 32-bit Linux programs, Wine is 64-bit only: the Wine tests
# then run a 64-bit build of the same sources (see scripts/wine-arch.sh), and of the 32-bit
# tree only the shipped programs are built, for their compatibility check.
. scripts/wine-arch.sh
arch="$KIT_WINE_ARCH"
shipped=()
[ "$arch" = win32 ] || shipped=(--target setup_exe saver_scr pavrell_exe)

echo "== Win32 build and compatibility of the shipped programs"
cmake -S . -B build/win32 -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw32.cmake" >/dev/null
cmake --build build/win32 -j "$jobs" "${shipped[@]}"
(cd build/win32 && ctest --output-on-failure -L compat) || status=1

kit_wine_tree "$root"
wine_tree="$KIT_WINE_TREE"
if [ "$wine_tree" != build/win32 ]; then
    echo "== this machine runs no 32-bit Linux programs: Wine tests use the x86_64 build"
    cmake --build "$wine_tree" -j "$jobs"
fi
echo "== Wine tests ($arch, $wine_tree)"
# Wine tests are RUN_SERIAL: each has its own prefix and display, but GUI cases go one at a time.
(cd "$wine_tree" && KIT_DROP_PREFIX=1 ctest --output-on-failure -j "$jobs" -L wine) || status=1

if [ "$status" -ne 0 ]; then
    echo "== SOME TESTS FAILED"
else
    echo "== all tests passed"
fi
exit "$status"
