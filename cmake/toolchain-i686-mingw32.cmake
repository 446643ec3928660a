# Cross build for 32-bit Windows: the shipped programs.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KIT_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
