# The clock's platform-independent layout, timing and settings layout, built in both trees.
set(SAVER_CLOCK_SOURCES)
set(SAVER_CLOCK_LIBS)
set(SAVER_RES_SOURCES)
