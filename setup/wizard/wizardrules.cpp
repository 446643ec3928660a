#include "wizardrules.h"

#include <string.h>

#include "pathtext.h"

namespace {

enum { BACK_BLACK = 0, BACK_GREY = 7 };

// Which of red, green and blue each BackColor index lights: black, BL, GR, RD, LB, PK, YL, MN.
const Rgb kHues[] = {{0, 0, 0}, {0, 0, 1}, {0, 1, 0}, {1, 0, 0},
                     {0, 1, 1}, {1, 0, 1}, {1, 1, 0}, {1, 1, 1}};

Rgb Tint(int backColorIndex, int intensity)
{
    if (backColorIndex < BACK_BLACK || backColorIndex > BACK_GREY)
        backColorIndex = BACK_BLACK;
    const Rgb &hue = kHues[backColorIndex];
    Rgb colour = {(unsigned char)(hue.red * intensity), (unsigned char)(hue.green * intensity),
                  (unsigned char)(hue.blue * intensity)};
    return colour;
}

}  // namespace

void GradientBandRows(int band, int height, int *top, int *bottom)
{
    // 64-bit products: no screen height could overflow them.
    *top = (int)((long long)band * height / GRADIENT_BANDS);
    *bottom = (int)((long long)(band + 1) * height / GRADIENT_BANDS);
}

Rgb GradientBandColour(int backColorIndex, int band)
{
    return Tint(backColorIndex, 255 - band);
}

Rgb FullColour(int backColorIndex)
{
    return Tint(backColorIndex, 255);
}

void TitleColours(int backColorIndex, Rgb *text, Rgb *shadow)
{
    const Rgb white = {255, 255, 255}, black = {0, 0, 0};
    bool grey = backColorIndex == BACK_GREY;
    *text = grey ? black : white;
    *shadow = grey ? white : black;
}

unsigned DriveMessageId(unsigned driveType)
{
    switch (driveType) {
    case 0:   // DRIVE_UNKNOWN
        return DRIVE_TEXT_UNKNOWN;
    case 1:   // DRIVE_NO_ROOT_DIR
        return DRIVE_TEXT_NO_DRIVE;
    case 2:   // DRIVE_REMOVABLE
    case 5:   // DRIVE_CDROM
    case 6:   // DRIVE_RAMDISK
        return DRIVE_TEXT_NOT_INSTALLABLE;
    default:  // fixed, network, or a type newer than these
        return 0;
    }
}

StepDecision DecideAfterStep(int step, bool wentOn, int pageResult)
{
    if (wentOn) {
        // The window is gone after the last step.
        if (step == STEP_CLOSE)
            return StepDecision{StepAction::Nothing, 0, false};
        return StepDecision{StepAction::Post, step + 1, false};
    }
    // The welcome page has no way back; a back from it would leave the user with no page.
    if (pageResult == RESULT_BACK && step > STEP_INIT)
        return StepDecision{StepAction::Post, step - 1, true};
    return StepDecision{StepAction::Abort, STEP_ABORT, false};
}

bool StepWaitsForCopy(int step)
{
    return step >= STEP_DONE && step <= STEP_CLOSE;
}

void BuildReadmeText(const char lines[README_LINES][README_LINE_BYTES], char *text, size_t size)
{
    if (size == 0)
        return;
    text[0] = '\0';
    size_t used = 0;
    for (int i = 0; i < README_LINES && lines[i][0] != '\0'; i++) {
        size_t length = 0;   // a slot is terminated, but never read past it
        while (length < README_LINE_BYTES && lines[i][length] != '\0')
            length++;
        if (used + length + 2 > size)
            return;
        memcpy(text + used, lines[i], length);
        used += length;
        text[used++] = '\n';
        text[used] = '\0';
    }
}

const char *RegisteredUserKey(unsigned platformId, int attempt)
{
    static const char *const kWindows = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    static const char *const kWindowsNt = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    const unsigned kPlatformNt = 2;   // VER_PLATFORM_WIN32_NT
    if (attempt < 0 || attempt >= REGISTERED_PLACES)
        return NULL;
    bool nt = platformId == kPlatformNt;
    return (attempt == 0) == nt ? kWindowsNt : kWindows;
}

void UseBackslashes(char *path)
{
    // Walk characters: a trail byte is never '/', but the walk keeps the rule in one place.
    for (size_t i = 0; path[i] != '\0'; i += CharBytes(path + i)) {
        if (path[i] == '/')
            path[i] = '\\';
    }
}
