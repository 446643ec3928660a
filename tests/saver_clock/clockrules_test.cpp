// The clock's timing, color order, layout and text lines.
#include <gtest/gtest.h>

#include <limits.h>
#include <string.h>
#include <time.h>

#include <string>

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

// The host's C library in the "C" locale (this program never sets one) is the reference.
void ExpectLinesOfTheCLibrary(const struct tm &local, const std::string &what)
{
    char date[CLOCK_TEXT_BYTES], weekday[CLOCK_TEXT_BYTES], time[CLOCK_TEXT_BYTES];
    ASSERT_NE(0u, strftime(date, sizeof date, "%Y/%m/%d", &local)) << what;
    ASSERT_NE(0u, strftime(weekday, sizeof weekday, "%A", &local)) << what;
    ASSERT_NE(0u, strftime(time, sizeof time, "%H:%M:%S", &local)) << what;
    ClockLines lines;
    FormatClockLines(&local, &lines);
    ASSERT_STREQ(date, lines.date) << what;
    ASSERT_STREQ(weekday, lines.weekday) << what;
    ASSERT_STREQ(time, lines.time) << what;
}

// The host's record of a UTC time: what localtime gives where the zone is UTC.
struct tm HostRecord(int year, int month, int day, int hour, int minute, int second)
{
    struct tm given = {};
    given.tm_year = year - 1900;
    given.tm_mon = month - 1;
    given.tm_mday = day;
    given.tm_hour = hour;
    given.tm_min = minute;
    given.tm_sec = second;
    time_t at = timegm(&given);
    struct tm record;
    gmtime_r(&at, &record);
    return record;
}

ClockDateTime DateTimeOf(const struct tm &record)
{
    return ClockDateTime{(uint16_t)(record.tm_year + 1900), (uint16_t)(record.tm_mon + 1), (uint16_t)record.tm_mday,
                         (uint16_t)record.tm_wday, (uint16_t)record.tm_hour, (uint16_t)record.tm_min,
                         (uint16_t)record.tm_sec};
}

// The record the platform's clock gives rise to is the C library's, field by field; summer
// time is not known.
void ExpectRecordOfTheCLibrary(const struct tm &host, const std::string &what)
{
    struct tm ours;
    memset(&ours, 0x5A, sizeof ours);
    ClockTimeRecord(DateTimeOf(host), &ours);
    ASSERT_EQ(host.tm_year, ours.tm_year) << what;
    ASSERT_EQ(host.tm_mon, ours.tm_mon) << what;
    ASSERT_EQ(host.tm_mday, ours.tm_mday) << what;
    ASSERT_EQ(host.tm_wday, ours.tm_wday) << what;
    ASSERT_EQ(host.tm_yday, ours.tm_yday) << what;
    ASSERT_EQ(host.tm_hour, ours.tm_hour) << what;
    ASSERT_EQ(host.tm_min, ours.tm_min) << what;
    ASSERT_EQ(host.tm_sec, ours.tm_sec) << what;
    ASSERT_EQ(-1, ours.tm_isdst) << what;
}

TEST(ClockRules, LinesAndRecordAgreeWithTheCLibraryAtTheEdges)
{
    struct Case {
        int year, month, day, hour, minute, second;
    } cases[] = {
        {2024, 1, 1, 0, 0, 0},        // midnight, the first second of a year
        {1999, 12, 31, 23, 59, 59},   // the last second of a year
        {2000, 1, 1, 0, 0, 0},
        {2000, 2, 29, 12, 30, 0},     // a leap day of a century divisible by 400
        {2000, 3, 1, 0, 0, 0},
        {2000, 12, 31, 23, 59, 59},
        {2024, 2, 29, 23, 59, 59},
        {2023, 2, 28, 23, 59, 59},    // no 29th: March follows
        {2023, 3, 1, 0, 0, 0},
        {2100, 2, 28, 0, 0, 59},      // a century that is no leap year
        {2100, 3, 1, 0, 0, 0},
        {2023, 4, 30, 23, 59, 59},    // the ends of a 30-day and a 31-day month
        {2023, 5, 31, 23, 59, 59},
        {2024, 12, 31, 23, 59, 59},   // day 366
        {1980, 1, 1, 0, 0, 0},        // the oldest date the file systems hold
        {1601, 1, 1, 0, 0, 0},        // the oldest the platform's clock gives
        {2038, 1, 19, 3, 14, 8},      // past the 32-bit seconds count
        {9999, 12, 31, 23, 59, 59},
        {2024, 6, 2, 1, 2, 3},        // a week: every weekday
        {2024, 6, 3, 4, 5, 6},
        {2024, 6, 4, 7, 8, 9},
        {2024, 6, 5, 10, 11, 12},
        {2024, 6, 6, 13, 14, 15},
        {2024, 6, 7, 16, 17, 18},
        {2024, 6, 8, 19, 20, 21},
    };
    for (const Case &c : cases) {
        std::string what = std::to_string(c.year) + "-" + std::to_string(c.month) + "-" + std::to_string(c.day) +
                           " " + std::to_string(c.hour) + ":" + std::to_string(c.minute) + ":" +
                           std::to_string(c.second);
        struct tm host = HostRecord(c.year, c.month, c.day, c.hour, c.minute, c.second);
        ASSERT_EQ(c.day, host.tm_mday) << what << ": not a date";
        ExpectRecordOfTheCLibrary(host, what);
        ExpectLinesOfTheCLibrary(host, what);
    }
}

// Every day of six centuries, and every second of one day.
TEST(ClockRules, LinesAndRecordAgreeWithTheCLibraryOnEveryDay)
{
    struct tm first = HostRecord(1601, 1, 1, 0, 0, 0);
    time_t at = timegm(&first);
    for (int day = 0; day < 219000; day++, at += 86400 + 1) {
        struct tm host;
        gmtime_r(&at, &host);
        std::string what = "day " + std::to_string(day);
        ExpectRecordOfTheCLibrary(host, what);
        ExpectLinesOfTheCLibrary(host, what);
    }
    struct tm midnight = HostRecord(2024, 2, 29, 0, 0, 0);
    at = timegm(&midnight);
    for (int second = 0; second < 86400; second++, at++) {
        struct tm host;
        gmtime_r(&at, &host);
        ExpectLinesOfTheCLibrary(host, "second " + std::to_string(second));
    }
}

// Fields out of their ranges are shown as the C library shows them: numbers, negative ones
// unpadded, a year of any length, an unknown weekday as "?".
TEST(ClockRules, LinesOfFieldsOutOfRangeAgreeWithTheCLibrary)
{
    for (int value = -1000; value <= 1000; value++) {
        struct tm local = {};
        local.tm_mon = value;
        local.tm_mday = value;
        local.tm_hour = value;
        local.tm_min = -value;
        local.tm_sec = value;
        local.tm_wday = value;
        ExpectLinesOfTheCLibrary(local, "value " + std::to_string(value));
    }
    for (int year = -12000; year <= 12000; year++) {
        struct tm local = {};
        local.tm_year = year;
        local.tm_mday = 1;
        ExpectLinesOfTheCLibrary(local, "tm_year " + std::to_string(year));
    }
    // At the ends of int the sums are exact (the host's library wraps them).
    struct Case {
        int year, month, day;
        const char *date;
    } extremes[] = {
        {INT_MAX, INT_MAX, INT_MAX, "2147485547/2147483648/2147483647"},
        {INT_MIN, INT_MIN, INT_MIN, "-2147481748/-2147483647/-2147483648"},
    };
    for (const Case &c : extremes) {
        struct tm local = {};
        local.tm_year = c.year;
        local.tm_mon = c.month;
        local.tm_mday = c.day;
        local.tm_wday = c.day;
        ClockLines lines;
        FormatClockLines(&local, &lines);
        EXPECT_STREQ(c.date, lines.date);
        EXPECT_STREQ("?", lines.weekday);
    }
}

}  // namespace
