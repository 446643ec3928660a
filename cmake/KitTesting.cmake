# Test rules. Native tests and fuzzers run in the native tree; Win32 tests are
# GoogleTest programs built with the cross compiler and run through scripts/wine-run.sh,
# one at a time, each in a fresh copy of the shared Wine prefix template.
include(CTest)

set(KIT_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources (Debian package googletest)")
set(KIT_WINE_WORK ${CMAKE_BINARY_DIR}/wine CACHE PATH "Wine prefixes, locale and logs of the Win32 tests")
set(KIT_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
set(KIT_FUZZ_SECONDS 4 CACHE STRING "seconds each fuzzer runs in the test command")

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${KIT_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/_googletest EXCLUDE_FROM_ALL)

# A program of the native tree built with our warnings.
# kit_native_program(name SOURCES ... LIBS ...)
function(kit_native_program name)
    cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${A_SOURCES})
    target_compile_options(${name} PRIVATE ${KIT_WARNINGS})
    target_link_libraries(${name} PRIVATE ${A_LIBS})
endfunction()

# kit_native_test(name SOURCES ... LIBS ...)
function(kit_native_test name)
    if(NOT KIT_WIN32)
        kit_native_program(${name} ${ARGN})
        target_link_libraries(${name} PRIVATE GTest::gtest_main GTest::gmock)
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES LABELS native)
    endif()
endfunction()

# A libFuzzer target; the test command runs it for a few seconds from its seed corpus
# (tests/fuzz/corpus/<name>, if present). New inputs go to the build folder.
# kit_fuzzer(name SOURCES ... LIBS ...)
function(kit_fuzzer name)
    if(KIT_WIN32)
        return()
    endif()
    set(seed ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${name})
    set(work ${CMAKE_BINARY_DIR}/fuzz-corpus/${name})
    file(MAKE_DIRECTORY ${work})
    set(dirs ${work})
    if(EXISTS ${seed})
        list(APPEND dirs ${seed})
    endif()
    kit_native_program(${name} ${ARGN})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    add_test(NAME ${name} COMMAND ${name} -max_total_time=${KIT_FUZZ_SECONDS} -timeout=10
        -print_final_stats=1 ${dirs})
    set_tests_properties(${name} PROPERTIES LABELS fuzz)
endfunction()

# A GoogleTest program for Windows, run under Wine by the harness.
# HARNESS passes options to scripts/wine-run.sh (--drive, --win95, --screen ...).
# kit_win32_test(name SOURCES ... LIBS ... HARNESS ... TIMEOUT seconds)
function(kit_win32_test name)
    if(NOT KIT_WIN32)
        return()
    endif()
    cmake_parse_arguments(A "" "TIMEOUT" "SOURCES;LIBS;HARNESS" ${ARGN})
    add_executable(${name} ${A_SOURCES})
    target_compile_options(${name} PRIVATE ${KIT_WARNINGS})
    target_compile_definitions(${name} PRIVATE ${KIT_DEFINES})
    target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++)
    target_link_libraries(${name} PRIVATE ${A_LIBS} kit_testsupport GTest::gtest_main GTest::gmock)
    if(NOT A_TIMEOUT)
        set(A_TIMEOUT 300)
    endif()
    add_test(NAME ${name}
        COMMAND ${KIT_WINE_RUN} --work ${KIT_WINE_WORK} --suite ${name} ${A_HARNESS}
                -- $<TARGET_FILE:${name}> --gtest_color=no)
    set_tests_properties(${name} PROPERTIES LABELS wine RUN_SERIAL TRUE TIMEOUT ${A_TIMEOUT}
        ENVIRONMENT "KIT_BIN_DIR=${KIT_BIN_DIR};KIT_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()
