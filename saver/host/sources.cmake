# Sources of the host, and the libraries of its platform-independent rules.
set(SAVER_HOST_SOURCES ${CMAKE_CURRENT_LIST_DIR}/hostmain.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../interim/host_standin.cpp)
set(SAVER_HOST_LIBS)
