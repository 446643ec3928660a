// Any window and text sizes, seconds and broken-down times through the clock's rules:
// no overflow, lines stay terminated, color index stays in the palette, any time record.
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

    // Any field values at all: the lines are formatted by the program itself.
    struct tm local;
    ClockTimeRecord(ClockDateTime{(uint16_t)W, (uint16_t)H, (uint16_t)w, (uint16_t)h, (uint16_t)(W >> 16),
                                  (uint16_t)(H >> 16), (uint16_t)(w >> 16)},
                    &local);
    if (local.tm_isdst != -1)
        abort();
    local.tm_year = W;
    local.tm_mon = H;
    ClockLines lines;
    FormatClockLines(&local, &lines);
    if (strnlen(lines.date, sizeof lines.date) == sizeof lines.date ||
        strnlen(lines.weekday, sizeof lines.weekday) == sizeof lines.weekday ||
        strnlen(lines.time, sizeof lines.time) == sizeof lines.time)
        abort();
    return 0;
}
