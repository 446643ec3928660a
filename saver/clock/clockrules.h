// The clock's timing and layout, kept apart from the window so that they can be checked
// without one.
#ifndef CLOCKRULES_H
#define CLOCKRULES_H

#include <stddef.h>
#include <stdint.h>
// struct tm only: the program takes no function from the C library's time functions.
#include <time.h>

enum {
    BACK_COLOR_COUNT = 6,      // entries of the background palette
    CLOCK_TIMER_ID = 1,
    CLOCK_TIMER_PERIOD = 250,   // milliseconds: a new second shows within a quarter of a second
    CLOCK_TEXT_BYTES = 128,     // each of the three formatted lines
    NO_SECOND_YET = -1          // the first tick always draws
};

// Palette entry picked by a stored color mask: the highest set bit of 0..5 wins; with
// none of them set the current entry stays.
int BackIndexFromMask(unsigned mask, int current);

// The entry after index, wrapping from the last back to the first.
int NextBackIndex(int index);

// What a tick remembers between calls; lastSecond starts at NO_SECOND_YET.
struct ClockTiming {
    int lastSecond;
};

// One timer tick at the given seconds value: true when the picture must be redrawn. When
// cycling is on (backLoop nonzero), the first tick of second 0 moves *backIndex on first.
bool ClockTick(ClockTiming *timing, int second, int32_t backLoop, int *backIndex);

// In the preview the text is a tenth of the window's height.
int PreviewFontHeight(int clientHeight);

// The three lines, top to bottom.
enum ClockLine { DATE_LINE = 0, WEEKDAY_LINE = 1, TIME_LINE = 2 };

// Top-left corner of a line of size textWidth x textHeight in a client area of
// clientWidth x clientHeight: centred across, the weekday centred down, the date just above
// it and the time just below. Results are clamped to the int range.
void ClockLineOrigin(int clientWidth, int clientHeight, int textWidth, int textHeight, ClockLine line,
                     int *x, int *y);

// The local time as the platform gives it, in 16-bit fields: month 1-12, weekday 0 for Sunday.
struct ClockDateTime {
    uint16_t year, month, day, weekday, hour, minute, second;
};

// The broken-down record of the C library (struct tm) for that time, every field as
// localtime fills it; whether summer time is in force is not known (tm_isdst negative).
void ClockTimeRecord(const ClockDateTime &now, struct tm *local);

// The date, weekday and time as the clock shows them: "%Y/%m/%d", "%A" and "%H:%M:%S" in the
// C library's "C" locale. The program formats them itself, for any field values: a field
// out of its range is shown as its number (a negative one unpadded), a weekday out of range
// as "?", as the C library does.
struct ClockLines {
    char date[CLOCK_TEXT_BYTES];
    char weekday[CLOCK_TEXT_BYTES];
    char time[CLOCK_TEXT_BYTES];
};
void FormatClockLines(const struct tm *local, ClockLines *lines);

#endif
