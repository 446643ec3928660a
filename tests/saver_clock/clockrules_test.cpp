// The clock's timing, color order, layout and text lines.
#include <gtest/gtest.h>

#include <limits.h>
#include <string.h>

#include "clockrules.h"

namespace {

TEST(ClockRules, BackIndexFromMaskTakesTheHighestPaletteBit)
{
    struct Case {
        const char *name;
        unsigned mask;
        int current;
        int expected;
    } cases[] = {
        {"default mask is blue", 0x01, 3, 0},
        {"single bit", 0x08, 0, 3},
        {"bits 2 and 5 give cyan", 0x24, 0, 5},
        {"all six", 0x3F, 1, 5},
        {"no bit keeps current", 0x00, 4, 4},
        {"bits above 5 are ignored", 0xC0, 2, 2},
        {"bit 6 with bit 1", 0x42, 0, 1},
        {"magenta", 0x02, 5, 1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.expected, BackIndexFromMask(c.mask, c.current)) << c.name;
}

TEST(ClockRules, ColorsCycleBlueToCyanAndBack)
{
    int index = 0;
    int seen[7];
    for (int i = 0; i < 7; i++) {
        seen[i] = index;
        index = NextBackIndex(index);
    }
    const int expected[7] = {0, 1, 2, 3, 4, 5, 0};
    for (int i = 0; i < 7; i++)
        EXPECT_EQ(expected[i], seen[i]) << "step " << i;
    EXPECT_EQ(0, NextBackIndex(-3));
    EXPECT_EQ(0, NextBackIndex(99));
}

TEST(ClockRules, TicksRedrawOnlyWhenTheSecondChanges)
{
    // second, backLoop, expected redraw, expected index afterwards
    struct Step {
        int second;
        int32_t backLoop;
        bool redraw;
        int index;
    } steps[] = {
        {17, 1, true, 2},   // the first tick always draws
        {17, 1, false, 2},  // same second: nothing
        {17, 1, false, 2},
        {18, 1, true, 2},
        {59, 1, true, 2},
        {0, 1, true, 3},    // a new minute moves the color before drawing
        {0, 1, false, 3},   // the other ticks of second 0 do not move it again
        {0, 1, false, 3},
        {1, 1, true, 3},
        {0, 0, true, 3},    // cycling off: second 0 draws but keeps the color
        {0, 0, false, 3},
        {1, 0, true, 3},
        {0, -5, true, 4},   // any nonzero value counts as on
    };
    ClockTiming timing = {NO_SECOND_YET};
    int index = 2;
    for (size_t i = 0; i < sizeof steps / sizeof steps[0]; i++) {
        EXPECT_EQ(steps[i].redraw, ClockTick(&timing, steps[i].second, steps[i].backLoop, &index)) << "step " << i;
        EXPECT_EQ(steps[i].index, index) << "step " << i;
    }
}

TEST(ClockRules, FirstTickOnSecondZeroAdvancesAtOnce)
{
    ClockTiming timing = {NO_SECOND_YET};
    int index = 5;
    EXPECT_TRUE(ClockTick(&timing, 0, 1, &index));
    EXPECT_EQ(0, index);
    EXPECT_EQ(0, timing.lastSecond);
}

TEST(ClockRules, AnHourOfTicksAdvancesOncePerMinute)
{
    ClockTiming timing = {NO_SECOND_YET};
    int index = 0;
    int redraws = 0;
    // Four ticks a second, starting at 12 seconds past, for an hour.
    for (int quarter = 0; quarter < 4 * 3600; quarter++) {
        int second = (12 + quarter / 4) % 60;
        if (ClockTick(&timing, second, 1, &index))
            redraws++;
    }
    EXPECT_EQ(3600, redraws);
    EXPECT_EQ(60 % 6, index);
}

TEST(ClockRules, PreviewFontIsATenthOfTheHeight)
{
    const int cases[][2] = {{0, 0}, {9, 0}, {10, 1}, {113, 11}, {768, 76}, {1080, 108}, {-15, -1}};
    for (const auto &c : cases)
        EXPECT_EQ(c[1], PreviewFontHeight(c[0])) << "height " << c[0];
}

TEST(ClockRules, LinesAreCentredAroundTheWeekday)
{
    struct Case {
        const char *name;
        int W, H, w, h;
        ClockLine line;
        int x, y;
    } cases[] = {
        {"weekday centred", 1024, 768, 200, 40, WEEKDAY_LINE, 412, 364},
        {"date above", 1024, 768, 200, 40, DATE_LINE, 412, 324},
        {"time below", 1024, 768, 200, 40, TIME_LINE, 412, 404},
        {"odd differences truncate", 101, 51, 10, 10, WEEKDAY_LINE, 45, 20},
        {"wider than the window: negative x, cut both sides", 100, 100, 151, 20, WEEKDAY_LINE, -25, 40},
        {"negative odd truncates toward zero", 100, 100, 101, 20, WEEKDAY_LINE, 0, 40},
        {"taller than the window", 80, 60, 10, 100, DATE_LINE, 35, -120},
        {"empty window", 0, 0, 0, 0, TIME_LINE, 0, 0},
    };
    for (const Case &c : cases) {
        int x = 1234, y = 1234;
        ClockLineOrigin(c.W, c.H, c.w, c.h, c.line, &x, &y);
        EXPECT_EQ(c.x, x) << c.name;
        EXPECT_EQ(c.y, y) << c.name;
    }
}

TEST(ClockRules, ExtremeSizesAreClampedNotOverflowed)
{
    // The differences need 33 bits; the date line's top needs 34 and is clamped.
    int x, y;
    ClockLineOrigin(INT_MAX, INT_MAX, INT_MIN, INT_MIN, DATE_LINE, &x, &y);
    EXPECT_EQ(INT_MAX, x);
    EXPECT_EQ(INT_MAX, y);
    ClockLineOrigin(INT_MIN, INT_MIN, INT_MAX, INT_MAX, DATE_LINE, &x, &y);
    EXPECT_EQ(-INT_MAX, x);
    EXPECT_EQ(INT_MIN, y);
    ClockLineOrigin(INT_MAX, INT_MAX, INT_MIN, INT_MIN, TIME_LINE, &x, &y);
    EXPECT_EQ(-1, y);
}

TEST(ClockRules, LinesAreTheDateTheEnglishWeekdayAndTheTime)
{
    struct Case {
        int year, month, day, wday, hour, minute, second;
        const char *date, *weekday, *time;
    } cases[] = {
        {2024, 6, 1, 6, 9, 5, 7, "2024/06/01", "Saturday", "09:05:07"},
        {1999, 12, 31, 5, 23, 59, 59, "1999/12/31", "Friday", "23:59:59"},
        {2000, 1, 2, 0, 0, 0, 0, "2000/01/02", "Sunday", "00:00:00"},
        {2038, 1, 19, 2, 3, 14, 8, "2038/01/19", "Tuesday", "03:14:08"},
    };
    for (const Case &c : cases) {
        struct tm local;
        memset(&local, 0, sizeof local);
        local.tm_year = c.year - 1900;
        local.tm_mon = c.month - 1;
        local.tm_mday = c.day;
        local.tm_wday = c.wday;
        local.tm_hour = c.hour;
        local.tm_min = c.minute;
        local.tm_sec = c.second;
        ClockLines lines;
        FormatClockLines(&local, &lines);
        EXPECT_STREQ(c.date, lines.date);
        EXPECT_STREQ(c.weekday, lines.weekday);
        EXPECT_STREQ(c.time, lines.time);
    }
}

}  // namespace
