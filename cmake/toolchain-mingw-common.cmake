# What both mingw-w64 toolchain files share; they set KIT_MINGW_PREFIX and the processor.
# The posix-thread compilers are used because GoogleTest needs threads; the programs are
# linked statically, so no thread DLL ships.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${KIT_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KIT_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KIT_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KIT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
