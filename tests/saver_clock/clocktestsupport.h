// What the clock's Wine tests share: the host's stand-in, registry set-up, pictures.
#ifndef CLOCKTESTSUPPORT_H
#define CLOCKTESTSUPPORT_H

#include <windows.h>

#include <string>
#include <vector>

#include "testsupport.h"

extern const char kSettingsKey[];
extern const char kFontKey[];

// Messages that reached the stand-in of the host's default procedure.
extern std::vector<UINT> hostDefaultMessages;

// Removes every stored setting of the clock.
void ClearClockRegistry();
// Writes raw bytes of the given type under HKEY_CURRENT_USER.
void WriteRawValue(const char *key, const char *name, DWORD type, const std::string &bytes);
// Saves the picture as a .bmp in the suite folder (an artefact for people to look at).
void SavePictureArtefact(const Picture &picture, const char *fileName);

// Runs this thread's messages for ms, calling poll every 20 ms until it returns true.
bool PumpUntil(DWORD ms, bool (*poll)(void *), void *context);

#endif
