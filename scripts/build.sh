#!/bin/bash
# The kit's main job: installs what it needs, builds the three programs into dist/bin/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/install-deps.sh

jobs="$(nproc)"
cmake -S . -B build/win32 -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw32.cmake" >/dev/null
cmake --build build/win32 -j "$jobs" --target setup_exe saver_scr pavrell_exe

mkdir -p dist/bin
for f in SETUP.exe Tessary.scr PAVRELL.exe; do
    cp "build/win32/bin/$f" dist/bin/
done
for f in dist/bin/*; do
    printf '%-14s %8d bytes\n' "$(basename "$f")" "$(stat -c %s "$f")"
done
