# The host's platform-independent rules, built in both trees.
# kit_pure_library(saverhost_rules SOURCES ...)
set(SAVER_HOST_SOURCES ${CMAKE_CURRENT_LIST_DIR}/hostmain.cpp)
set(SAVER_HOST_LIBS)
