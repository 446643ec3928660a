# Cross build for 32-bit Windows. The posix-thread compilers are used throughout because
# GoogleTest needs threads; the products are linked statically, so no thread DLL ships.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KIT_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${KIT_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KIT_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KIT_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KIT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
