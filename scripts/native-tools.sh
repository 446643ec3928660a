#!/bin/bash
# Builds the native tools as they ship, in their own tree build/tool (Debian's compiler,
# optimised, without the sanitizers of the test command's build/native), and prints the
# folder of the programs. The main command builds the media with its buildmedium; the tests
# that hold it to BuildMedium.exe run it too.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
tree="$root/build/tool"
if [ ! -f "$tree/CMakeCache.txt" ]; then
    CC=gcc CXX=g++ cmake -S "$root" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKIT_TOOLS_ONLY=ON >/dev/null
fi
cmake --build "$tree" --target buildmedium >&2
echo "$tree/bin"
