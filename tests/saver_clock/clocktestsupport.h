// What the clock's Wine tests share: the host's stand-in, registry set-up, pictures.
#ifndef CLOCKTESTSUPPORT_H
#define CLOCKTESTSUPPORT_H

#include <windows.h>

#include <string>
#include <vector>

extern const char kSettingsKey[];
extern const char kFontKey[];

// Messages that reached the stand-in of the host's default procedure.
extern std::vector<UINT> hostDefaultMessages;

// Removes every stored setting of the clock.
void ClearClockRegistry();
// Writes raw bytes of the given type under HKEY_CURRENT_USER.
void WriteRawValue(const char *key, const char *name, DWORD type, const std::string &bytes);
std::string Le32(DWORD value);

// A 24-bit top-down copy of a rectangle of a device context.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> bgr;   // 3 bytes a pixel, rows of width * 3 (no padding)
    COLORREF At(int x, int y) const;
};
Picture CapturePicture(HDC source, int x, int y, int width, int height);
// Saves the picture as a .bmp in the suite folder (an artefact for people to look at).
void SavePictureArtefact(const Picture &picture, const char *fileName);

// Runs this thread's messages for ms, calling poll every 20 ms until it returns true.
bool PumpUntil(DWORD ms, bool (*poll)(void *), void *context);

#endif
