#include "clockrules.h"

#include <limits.h>

#include "text.h"

int BackIndexFromMask(unsigned mask, int current)
{
    int index = current;
    for (int i = 0; i < BACK_COLOR_COUNT; i++) {
        if (mask & (1u << i))
            index = i;
    }
    return index;
}

int NextBackIndex(int index)
{
    if (index < 0 || index >= BACK_COLOR_COUNT - 1)
        return 0;
    return index + 1;
}

bool ClockTick(ClockTiming *timing, int second, int32_t backLoop, int *backIndex)
{
    if (second == timing->lastSecond)
        return false;
    timing->lastSecond = second;
    if (second == 0 && backLoop != 0)
        *backIndex = NextBackIndex(*backIndex);
    return true;
}

int PreviewFontHeight(int clientHeight)
{
    return clientHeight / 10;
}

static int ClampToInt(int64_t value)
{
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return (int)value;
}

void ClockLineOrigin(int clientWidth, int clientHeight, int textWidth, int textHeight, ClockLine line,
                     int *x, int *y)
{
    // 64-bit so that no window or text size can overflow; C++ division truncates toward zero.
    int64_t h = textHeight;
    int64_t middle = ((int64_t)clientHeight - h) / 2;
    int64_t top = middle;
    if (line == DATE_LINE)
        top = middle - h;
    else if (line == TIME_LINE)
        top = middle + h;
    *x = ClampToInt(((int64_t)clientWidth - textWidth) / 2);
    *y = ClampToInt(top);
}

void ClockTimeRecord(const ClockDateTime &now, struct tm *local)
{
    // Days before each month in a year of 365 days.
    static const short kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    struct tm record = {};
    record.tm_year = now.year - 1900;
    record.tm_mon = now.month - 1;
    record.tm_mday = now.day;
    record.tm_wday = now.weekday;
    record.tm_hour = now.hour;
    record.tm_min = now.minute;
    record.tm_sec = now.second;
    if (now.month >= 1 && now.month <= 12 && now.day >= 1 && now.day <= 31) {
        bool leap = now.year % 4 == 0 && (now.year % 100 != 0 || now.year % 400 == 0);
        record.tm_yday = kDaysBefore[now.month - 1] + (leap && now.month > 2) + now.day - 1;
    }
    record.tm_isdst = -1;
    *local = record;
}

namespace {

// Appends value + offset in decimal, at least minDigits digits; a negative sum is "-" and its
// digits, unpadded. Both are ints, so the sum's magnitude fits in 32 unsigned bits and no
// 64-bit division is needed. At most 11 bytes.
void AppendSum(char *line, int value, int offset, int minDigits)
{
    long long sum = (long long)value + offset;
    unsigned magnitude = (unsigned)(sum < 0 ? -sum : sum);
    AppendDigits(line, CLOCK_TEXT_BYTES, sum < 0, magnitude, sum < 0 ? 1 : minDigits);
}

// Three numbers with two separators: at most 35 bytes and the terminator, so no part is left
// out.
void PutTriple(char *line, int a, int aOffset, int aDigits, char separator, int b, int bOffset, int c)
{
    static_assert(3 * 11 + 2 + 1 <= CLOCK_TEXT_BYTES, "three numbers fit in a line");
    const char between[2] = {separator, '\0'};
    line[0] = '\0';
    AppendSum(line, a, aOffset, aDigits);
    AppendText(line, CLOCK_TEXT_BYTES, between);
    AppendSum(line, b, bOffset, 2);
    AppendText(line, CLOCK_TEXT_BYTES, between);
    AppendSum(line, c, 0, 2);
}

}  // namespace

void FormatClockLines(const struct tm *local, ClockLines *lines)
{
    static const char *const kWeekdays[7] = {"Sunday", "Monday", "Tuesday", "Wednesday",
                                             "Thursday", "Friday", "Saturday"};
    PutTriple(lines->date, local->tm_year, 1900, 1, '/', local->tm_mon, 1, local->tm_mday);
    PutTriple(lines->time, local->tm_hour, 0, 2, ':', local->tm_min, 0, local->tm_sec);
    const char *name = local->tm_wday >= 0 && local->tm_wday < 7 ? kWeekdays[local->tm_wday] : "?";
    char *at = lines->weekday;
    while (*name != '\0')
        *at++ = *name++;
    *at = '\0';
}
