# Sources of the host, and the libraries of its platform-independent rules.
# The command-line grammar and the close rules include no windows.h: built in the native tree
# too, for the tests and fuzzers.
kit_pure_library(saverrules SOURCES ${CMAKE_CURRENT_LIST_DIR}/saverargs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/closerules.cpp LIBS text)
target_include_directories(saverrules PUBLIC ${CMAKE_CURRENT_LIST_DIR})

set(SAVER_HOST_SOURCES ${CMAKE_CURRENT_LIST_DIR}/hostmain.cpp
    ${CMAKE_CURRENT_LIST_DIR}/saverwindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/password.cpp)
set(SAVER_HOST_LIBS saverrules)
