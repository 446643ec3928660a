# Cross build for 64-bit Windows. Used only for the Win32 tests on machines whose kernel
# cannot execute 32-bit Linux programs, where Wine runs 64-bit only (scripts/wine-env.sh).
# The shipped programs are always the 32-bit build.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KIT_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
