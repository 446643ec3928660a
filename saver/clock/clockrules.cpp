#include "clockrules.h"

#include <limits.h>

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

void FormatClockLines(const struct tm *local, ClockLines *lines)
{
    // strftime leaves the buffer's contents unspecified when the text does not fit.
    if (strftime(lines->date, sizeof lines->date, "%Y/%m/%d", local) == 0)
        lines->date[0] = '\0';
    if (strftime(lines->weekday, sizeof lines->weekday, "%A", local) == 0)
        lines->weekday[0] = '\0';
    if (strftime(lines->time, sizeof lines->time, "%H:%M:%S", local) == 0)
        lines->time[0] = '\0';
}
