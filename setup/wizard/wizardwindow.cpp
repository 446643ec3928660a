// The full-screen background window: gradient, title, pictures, and the sequence of steps.
#include <string.h>

#include "resource.h"
#include "setupcontext.h"
#include "setupmessage.h"
#include "setupscript.h"
#include "setupwindow.h"
#include "wizard.h"
#include "wizardrules.h"

static_assert(PageInit == WM_USER, "the steps are the window's private messages");

int pageResult;
char defaultFolder[MAX_PATH_BYTES];
char registeredOwner[REGISTERED_BYTES];
char registeredOrganization[REGISTERED_BYTES];

namespace {

enum { FACE_BYTES = 32, TITLE_HEIGHT = 40, SUBTITLE_HEIGHT = 10, SHIFTJIS_CHARSET_ID = 128 };

// The pictures live as long as the window.
HBITMAP titlemapBitmap;
HBITMAP titlemapMask;
HBITMAP pictureBitmap;

COLORREF ToColorRef(Rgb c)
{
    return RGB(c.red, c.green, c.blue);
}

// value holds REGISTERED_BYTES bytes.
void ReadRegisteredValue(const char *keyName, const char *name, char *value)
{
    value[0] = '\0';
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return;
    DWORD type = 0;
    DWORD size = REGISTERED_BYTES;
    LONG result = RegQueryValueExA(key, name, NULL, &type, (BYTE *)value, &size);
    RegCloseKey(key);
    // A value of another type, or one stored without its terminator, is not taken.
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0 ||
        value[size - 1] != '\0')
        value[0] = '\0';
}

// A picture named by the script, from the medium; NULL when it cannot be loaded.
HBITMAP LoadPicture(const char *name)
{
    char path[MAX_PATH_BYTES];
    if (!JoinFolderName(path, sizeof path, setupContext.sourceDir, name))
        return NULL;
    return (HBITMAP)LoadImageA(NULL, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
}

// NULL when both pictures (those the script names) are loaded, else the failure's text.
const char *LoadPictures()
{
    if (setupScript.Titlemap[0] != '0') {
        titlemapBitmap = LoadPicture(setupScript.Titlemap);
        if (titlemapBitmap == NULL)
            return "Titlemap Load Error";
        BITMAP size;
        GetObjectA(titlemapBitmap, sizeof size, &size);
        // The monochrome copy is white exactly where the picture is pure white.
        titlemapMask = (HBITMAP)CopyImage(titlemapBitmap, IMAGE_BITMAP, size.bmWidth,
                                          size.bmHeight, LR_MONOCHROME);
        if (titlemapMask == NULL)
            return "Titlemap CopyImage Error";
    }
    if (setupScript.Bitmap[0] != '0') {
        pictureBitmap = LoadPicture(setupScript.Bitmap);
        if (pictureBitmap == NULL)
            return "Bitmap Load Error";
    }
    return NULL;
}

void DeletePicture(HBITMAP *bitmap)
{
    if (*bitmap != NULL)
        DeleteObject(*bitmap);
    *bitmap = NULL;
}

void PaintGradient(HDC dc, int width, int height)
{
    for (int band = 0; band < GRADIENT_BANDS; band++) {
        int top, bottom;
        GradientBandRows(band, height, &top, &bottom);
        HBRUSH brush =
            CreateSolidBrush(ToColorRef(GradientBandColour(setupScript.backColorIndex, band)));
        HGDIOBJ old = SelectObject(dc, brush);
        PatBlt(dc, 0, top, width, bottom - top, PATCOPY);
        SelectObject(dc, old);
        DeleteObject(brush);
    }
}

// One line in the paint DC's own face, italic bold, Shift-JIS: shadow first, then the text.
void PaintTitleLine(HDC dc, const char *face, int height, int x, int y, const char *text)
{
    HFONT font = CreateFontA(height, 0, 0, 0, FW_BOLD, TRUE, FALSE, FALSE, SHIFTJIS_CHARSET_ID,
                             0, 0, 0, 0, face);
    HGDIOBJ old = SelectObject(dc, font);
    Rgb textColour, shadowColour;
    TitleColours(setupScript.backColorIndex, &textColour, &shadowColour);
    int length = (int)strlen(text);
    SetTextColor(dc, ToColorRef(shadowColour));
    TextOutA(dc, x + 5, y + 5, text, length);
    SetTextColor(dc, ToColorRef(textColour));
    TextOutA(dc, x, y, text, length);
    SelectObject(dc, old);
    DeleteObject(font);
}

void PaintBackground(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    PaintGradient(dc, client.right, client.bottom);
    if (pictureBitmap != NULL)
        DrawBitmap(dc, setupScript.bitmapPos.x, setupScript.bitmapPos.y, pictureBitmap, SRCCOPY);
    if (titlemapBitmap != NULL) {
        // White parts: the mask leaves the background inverted, the picture inverts it back.
        DrawBitmap(dc, setupScript.titlemapPos.x, setupScript.titlemapPos.y, titlemapMask, SRCERASE);
        DrawBitmap(dc, setupScript.titlemapPos.x, setupScript.titlemapPos.y, titlemapBitmap,
                   SRCINVERT);
    }
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColour = GetTextColor(dc);
    char face[FACE_BYTES];
    if (GetTextFaceA(dc, sizeof face, face) <= 0)
        face[0] = '\0';
    PaintTitleLine(dc, face, TITLE_HEIGHT, 10, 10, setupContext.caption);
    PaintTitleLine(dc, face, SUBTITLE_HEIGHT, 10, 50, setupScript.SubTitle);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    EndPaint(window, &paint);
}

LRESULT OnCreate(HWND window)
{
    SetWindowPos(window, NULL, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                 SWP_NOZORDER);
    const char *failure = LoadPictures();
    if (failure == NULL) {
        PostMessageA(window, PageInit, 0, 0);
        return 0;
    }
    MessageBoxA(window, failure, setupContext.baseName, MB_OK | MB_ICONERROR);
    ShowSetupFailure(window, setupContext.caption);
    return -1;   // the window is destroyed, WM_DESTROY ends the loop
}

void AbortWizard(HWND window)
{
    ShowSetupMessage(window, IDS_SETUP_ABORTED, setupScript.Title, setupContext.caption,
                     MB_OK | MB_ICONWARNING);
    DestroyWindow(window);
}

void RunStep(HWND window, int step)
{
    bool wentOn = RunWizardStep(window, step);   // sets pageResult: read it only afterwards
    StepDecision next = DecideAfterStep(step, wentOn, pageResult);
    switch (next.action) {
    case StepAction::Post:
        if (next.clearResult)
            pageResult = PAGE_NEXT;
        PostMessageA(window, next.step, 0, 0);
        break;
    case StepAction::Abort:
        AbortWizard(window);
        break;
    case StepAction::Nothing:
        break;
    }
}

// The family's own place first, the other one where that gave nothing.
void ReadRegisteredFromPlaces(unsigned platformId, const char *name, char *value)
{
    value[0] = '\0';
    const char *keyName;
    for (int attempt = 0; value[0] == '\0' && (keyName = RegisteredUserKey(platformId, attempt)) != NULL;
         attempt++)
        ReadRegisteredValue(keyName, name, value);
}

// Fills registeredOwner and registeredOrganization; a value that cannot be read stays empty.
void ReadRegisteredUser()
{
    OSVERSIONINFOA version;
    version.dwOSVersionInfoSize = sizeof version;
    unsigned platformId = GetVersionExA(&version) ? (unsigned)version.dwPlatformId : 0;
    ReadRegisteredFromPlaces(platformId, "RegisteredOrganization", registeredOrganization);
    ReadRegisteredFromPlaces(platformId, "RegisteredOwner", registeredOwner);
}

LRESULT CALLBACK WizardWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window);
    case WM_DESTROY:
        DeletePicture(&pictureBitmap);
        DeletePicture(&titlemapBitmap);
        DeletePicture(&titlemapMask);
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        PaintBackground(window);
        return 0;
    case PageInit:
    case PageRegist:
    case PageStart:
    case PageProgress:
        RunStep(window, (int)message);
        return 0;
    case PageDone:
    case PageFinalExec:
    case PageClose:
        if (setupContext.progressDialog == NULL)
            RunStep(window, (int)message);
        return 0;
    case PageAbort:
        AbortWizard(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

void DrawBitmap(HDC dc, int x, int y, HBITMAP bitmap, DWORD rop)
{
    BITMAP size;
    if (GetObjectA(bitmap, sizeof size, &size) == 0)
        return;
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(dc, x, y, size.bmWidth, size.bmHeight, memory, 0, 0, rop);
    SelectObject(memory, old);
    DeleteDC(memory);
}

int RunWizard(HINSTANCE instance)
{
    SetupContext &ctx = setupContext;
    ReadRegisteredUser();
    if (!ReadSetupScript()) {
        ShowSetupFailure(NULL, ctx.baseName);
        return 0;
    }
    CopyText(defaultFolder, sizeof defaultFolder, setupScript.DefaultDir);

    if (!RegisterSetupClass(instance, WizardWindowProc, true)) {
        ShowSetupFailure(NULL, ctx.baseName);
        return 0;
    }
    BuildCaption(IDS_CAPTION_SETUP);

    ctx.mainWindow = CreateWindowExA(0, ctx.baseName, ctx.caption, WS_OVERLAPPEDWINDOW, 0, 0,
                                     GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                     NULL, NULL, instance, NULL);
    // A picture that could not be loaded has been reported and the window is gone.
    if (ctx.mainWindow == NULL)
        return 0;
    ShowWindow(ctx.mainWindow, SW_SHOWNORMAL);
    UpdateWindow(ctx.mainWindow);

    MSG msg;
    msg.wParam = 0;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        if (ctx.progressDialog != NULL && IsDialogMessageA(ctx.progressDialog, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}
