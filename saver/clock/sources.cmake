# Sources of the clock and its resources, and the libraries of its platform-independent parts.
set(SAVER_CLOCK_SOURCES ${CMAKE_CURRENT_LIST_DIR}/../interim/clockhooks_standin.cpp)
set(SAVER_CLOCK_LIBS)
set(SAVER_RES_SOURCES)
