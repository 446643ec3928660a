// Any window and text sizes, seconds and broken-down times through the clock's rules:
// no overflow, lines stay terminated, color index stays in the palette.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "clockrules.h"

static int TakeInt(const uint8_t **data, size_t *size)
{
    int32_t value = 0;
    size_t n = *size < 4 ? *size : 4;
    memcpy(&value, *data, n);
    *data += n;
    *size -= n;
    return value;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    int W = TakeInt(&data, &size), H = TakeInt(&data, &size);
    int w = TakeInt(&data, &size), h = TakeInt(&data, &size);
    for (int line = 0; line < 3; line++) {
        int x, y;
        ClockLineOrigin(W, H, w, h, (ClockLine)line, &x, &y);
    }
    (void)PreviewFontHeight(H);

    int index = BackIndexFromMask((unsigned)TakeInt(&data, &size), 0);
    if (index < 0 || index >= BACK_COLOR_COUNT)
        abort();
    ClockTiming timing = {NO_SECOND_YET};
    while (size > 0) {
        int second = data[0] % 62;   // tm_sec may be 60 or 61 for a leap second
        int32_t loop = data[0] & 0x80;
        data++;
        size--;
        int before = timing.lastSecond;
        bool redraw = ClockTick(&timing, second, loop, &index);
        if (redraw != (before != second) || index < 0 || index >= BACK_COLOR_COUNT)
            abort();
    }

    struct tm local;
    memset(&local, 0, sizeof local);
    local.tm_year = W % 10000;
    local.tm_mon = (unsigned)H % 12;
    local.tm_mday = 1 + (unsigned)w % 31;
    local.tm_wday = (unsigned)h % 7;
    local.tm_hour = (unsigned)W % 24;
    local.tm_min = (unsigned)H % 60;
    local.tm_sec = (unsigned)w % 61;
    ClockLines lines;
    FormatClockLines(&local, &lines);
    if (strnlen(lines.date, sizeof lines.date) == sizeof lines.date ||
        strnlen(lines.weekday, sizeof lines.weekday) == sizeof lines.weekday ||
        strnlen(lines.time, sizeof lines.time) == sizeof lines.time)
        abort();
    return 0;
}
