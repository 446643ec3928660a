# Build rules shared by every folder: the pure (platform-independent) libraries, the
# Win32 programs with the product flags, and the warnings we hold all our code to.

set(KIT_BIN_DIR ${CMAKE_BINARY_DIR}/bin)
set(KIT_MAP_DIR ${CMAKE_BINARY_DIR}/maps)
file(MAKE_DIRECTORY ${KIT_MAP_DIR})
set(KIT_WARNINGS -Wall -Wextra -Werror)

if(KIT_WIN32)
    # What Windows 95 and NT 4.0 can load: nothing newer in the headers, subsystem 4.0,
    # no C++ runtime features that pull in DLLs or exception tables. No -fdata-sections: the
    # PE linker script has no rule for .bss.* sections, so the large zeroed records would be
    # stored in the file as initialised data.
    set(KIT_DEFINES WINVER=0x0400 _WIN32_WINNT=0x0400 _WIN32_WINDOWS=0x0400 _WIN32_IE=0x0300
        NOMINMAX STRICT)
    set(KIT_PRODUCT_COMPILE -Os -fno-exceptions -fno-rtti -fno-threadsafe-statics
        -fno-asynchronous-unwind-tables -fno-unwind-tables -ffunction-sections)
    # The 32-bit programs run on the 386 and later: the compiler's default, the Pentium Pro,
    # brings instructions (CMOV) that stop a 486 or a Pentium.
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
        list(APPEND KIT_PRODUCT_COMPILE -march=i386)
    endif()
    set(KIT_PRODUCT_LINK -static -static-libgcc -static-libstdc++ -mwindows -s
        -Wl,--gc-sections -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0
        -Wl,--major-os-version,4 -Wl,--minor-os-version,0
        -Wl,--disable-dynamicbase -Wl,--disable-nxcompat -Wl,--disable-reloc-section)
    # The same sources give the same programs: no link time in the header.
    list(APPEND KIT_PRODUCT_LINK -Wl,--no-insert-timestamp)
elseif(KIT_TOOLS_ONLY)
    # The native tools as they ship (the main command's build/tool): Debian's compiler,
    # optimised, no folder of the build inside.
    add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=)
    add_link_options(-s)
else()
    # The native tree exists to run the pure code under the sanitizers and the fuzzers.
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "the native tree needs clang (libFuzzer); configure with CXX=clang++")
    endif()
    add_compile_options(-g -O1 -fno-omit-frame-pointer -fsanitize=address,undefined
        -fno-sanitize-recover=all -fsanitize=fuzzer-no-link)
    add_link_options(-fsanitize=address,undefined)
endif()

# A library of code that does not include windows.h; built in both trees.
# kit_pure_library(name SOURCES ...)
function(kit_pure_library name)
    cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} STATIC ${A_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_compile_options(${name} PRIVATE ${KIT_WARNINGS})
    if(A_LIBS)
        target_link_libraries(${name} PUBLIC ${A_LIBS})
    endif()
    if(KIT_WIN32)
        target_compile_options(${name} PRIVATE ${KIT_PRODUCT_COMPILE})
        target_compile_definitions(${name} PUBLIC ${KIT_DEFINES})
    endif()
endfunction()

# A library that talks to the platform; Win32 tree only, where it is built as the pure ones are.
# kit_win32_library(name SOURCES ... LIBS ...)
function(kit_win32_library name)
    kit_pure_library(${name} ${ARGN})
endfunction()

# One of the shipped programs. OUTPUT is the file name exactly as it ships.
# kit_win32_program(target OUTPUT name.ext SOURCES ... LIBS ...)
function(kit_win32_program target)
    cmake_parse_arguments(A "" "OUTPUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${target} WIN32 ${A_SOURCES})
    get_filename_component(stem ${A_OUTPUT} NAME_WE)
    get_filename_component(ext ${A_OUTPUT} EXT)
    set_target_properties(${target} PROPERTIES
        OUTPUT_NAME ${stem} SUFFIX ${ext} RUNTIME_OUTPUT_DIRECTORY ${KIT_BIN_DIR})
    target_compile_options(${target} PRIVATE ${KIT_WARNINGS} ${KIT_PRODUCT_COMPILE})
    target_compile_definitions(${target} PRIVATE ${KIT_DEFINES})
    # Our own entry instead of the C run-time start-up, and our own C functions instead of
    # the C run-time DLL, which a clean Windows 95 lacks. No standard library is linked: a
    # call into the C library fails the link. The link map lets the compatibility check see
    # what the program would still need from that start-up.
    target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/runtime/programentry.cpp)
    target_link_options(${target} PRIVATE ${KIT_PRODUCT_LINK} -nostdlib
        -Wl,-Map=${KIT_MAP_DIR}/${A_OUTPUT}.map)
    # The system's import libraries follow from CMake's standard list; libgcc gives the
    # 64-bit division helpers.
    target_link_libraries(${target} PRIVATE ${A_LIBS} kitcstring gcc)
    set_property(GLOBAL APPEND PROPERTY KIT_PROGRAMS ${target})
endfunction()
