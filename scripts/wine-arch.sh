# Sourced by the scripts (or run, to print it): sets and exports KIT_WINE_ARCH, the Wine this
# machine runs. Wine runs 32-bit Windows programs through its 32-bit Linux half, which needs
# a kernel that executes i386 programs. Some virtual machines cannot; there Wine runs 64-bit
# only and the Wine tests and tools are built for x86_64 (same sources, same Win32 ANSI calls).
kit_detect_wine_arch() {
    if [ -n "${KIT_WINE_ARCH:-}" ]; then return 0; fi
    # An i386 emulator registered with binfmt_misc runs the programs too slowly and
    # incompletely for Wine: only the kernel's own 32-bit support counts.
    if grep -qs 'qemu-i386' /proc/sys/fs/binfmt_misc/* 2>/dev/null; then
        KIT_WINE_ARCH=win64
    elif /usr/lib/wine/wineserver32 --version >/dev/null 2>&1; then
        KIT_WINE_ARCH=win32
    else
        KIT_WINE_ARCH=win64
    fi
    export KIT_WINE_ARCH
}
kit_detect_wine_arch

# The build tree whose programs run under this Wine (KIT_WINE_TREE, relative to the source
# root $1), configured here when it is the x86_64 tree or not configured yet; the caller
# builds the targets it needs.
kit_wine_tree() {  # $1: the source root
    local toolchain
    if [ "$KIT_WINE_ARCH" = win32 ]; then
        KIT_WINE_TREE=build/win32 toolchain=toolchain-i686-mingw32.cmake
    else
        KIT_WINE_TREE=build/win64 toolchain=toolchain-x86_64-mingw32.cmake
    fi
    if [ "$KIT_WINE_ARCH" != win32 ] || [ ! -f "$1/$KIT_WINE_TREE/CMakeCache.txt" ]; then
        cmake -S "$1" -B "$1/$KIT_WINE_TREE" -G Ninja -DCMAKE_BUILD_TYPE=Release \
              -DCMAKE_TOOLCHAIN_FILE="$1/cmake/$toolchain" >/dev/null
    fi
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    echo "$KIT_WINE_ARCH"
fi
