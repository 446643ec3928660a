// The clock's settings: the process-wide record, its defaults, and their registry storage.
#ifndef CLOCKSETTINGS_H
#define CLOCKSETTINGS_H

#include <windows.h>

#include "clockrules.h"

struct ClockSettingsRecord {
    // Stored, each under the registry value of its own name.
    COLORREF TextCol;
    LONG TextPen;     // exactly 1: outlined characters
    BYTE BackCol;     // bit i picks BackPalette[i]
    LONG BackLoop;    // nonzero: next background color every minute
    LOGFONTA Font;
    // Run time only: the palette entry being painted; ResetClockSettings leaves it alone.
    int BackIndex;
};

extern ClockSettingsRecord ClockSettings;
extern const COLORREF BackPalette[BACK_COLOR_COUNT];

void ResetClockSettings();
// Defaults overlaid with whatever can be read; never fails, never reports.
void LoadClockSettings();
// Takes the outline, color and cycling choices from the dialog's controls and writes
// everything. True when all was written; false after a failure has been shown to the user.
bool SaveClockSettings(HWND dialog);

#endif
