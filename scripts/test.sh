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

echo "== Win32 build, compatibility and Wine tests"
cmake -S . -B build/win32 -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw32.cmake" >/dev/null
cmake --build build/win32 -j "$jobs"
# Wine tests are RUN_SERIAL: they share no prefix, but GUI cases run one at a time.
(cd build/win32 && ctest --output-on-failure -j "$jobs") || status=1

if [ "$status" -ne 0 ]; then
    echo "== SOME TESTS FAILED"
else
    echo "== all tests passed"
fi
exit "$status"
