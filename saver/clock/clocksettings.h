// The clock's settings: the process-wide record, its defaults, and their registry storage.
#ifndef CLOCKSETTINGS_H
#define CLOCKSETTINGS_H

#include <windows.h>

struct ClockSettingsRecord {
    // Stored, each under the registry value of its own name.
    COLORREF TextCol;
    LONG TextPen;     // exactly 1: outlined characters
    BYTE BackCol;     // bit i picks BackPalette[i]
    LONG BackLoop;    // nonzero: next background colour every minute
    LOGFONTA Font;
    // Run time only: the palette entry being painted; ResetClockSettings leaves it alone.
    int BackIndex;
};

extern ClockSettingsRecord ClockSettings;
extern const COLORREF BackPalette[6];

void ResetClockSettings();
// Defaults overlaid with whatever can be read; never fails, never reports.
void LoadClockSettings();
// Takes the outline, colour and cycling choices from the dialog's controls and writes
// everything. 0 when all was written, 1 after a failure has been shown to the user.
int SaveClockSettings(HWND dialog);

#endif
