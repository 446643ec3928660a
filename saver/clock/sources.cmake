# Sources of the clock and its resources, and the libraries of its platform-independent parts.
# The timing, layout, settings layout and error names build natively too (tests, fuzzers).
# Test folders include this file again for the source lists: the library is made once.
if(NOT TARGET saverclockrules)
    kit_pure_library(saverclockrules SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/clockrules.cpp
        ${CMAKE_CURRENT_LIST_DIR}/settingslayout.cpp
        ${CMAKE_CURRENT_LIST_DIR}/fonterrors.cpp
        LIBS text)
    target_include_directories(saverclockrules PUBLIC ${CMAKE_CURRENT_LIST_DIR})
endif()

set(SAVER_CLOCK_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/clocksettings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/clockwindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/configdialog.cpp)
set(SAVER_CLOCK_LIBS saverclockrules comdlg32 shell32 gdi32 advapi32 user32)

# The resource compiler finds the bitmaps and the icon beside the script.
set(SAVER_RES_DIR ${CMAKE_CURRENT_LIST_DIR}/../res)
set(SAVER_RES_SOURCES ${SAVER_RES_DIR}/saver.rc)
set_property(SOURCE ${SAVER_RES_SOURCES} APPEND PROPERTY INCLUDE_DIRECTORIES ${SAVER_RES_DIR})
set_property(SOURCE ${SAVER_CLOCK_SOURCES} APPEND PROPERTY INCLUDE_DIRECTORIES ${SAVER_RES_DIR})
