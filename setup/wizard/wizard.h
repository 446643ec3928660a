// The installation wizard: the full-screen background window and its pages.
#ifndef WIZARD_H
#define WIZARD_H

#include <windows.h>

#include "pathtext.h"
#include "setupcontext.h"

// The background window's private messages, one per step of the installation.
enum WizardStep {
    PageInit = WM_USER,   // 1024, welcome page
    PageRegist,           // 1025, user name and division
    PageStart,            // 1026, install folder
    PageProgress,         // 1027, the modeless progress dialog
    PageDone,             // 1028, completion message
    PageFinalExec,        // 1029, open FinalExec
    PageClose,            // 1030, destroy the background window
    PageAbort = WM_USER + 9   // 1033, abort message, then destroy the window
};

// How the last page ended; 0 also while a page is open.
enum { PAGE_NEXT = 0, PAGE_CANCEL = 1, PAGE_BACK = 2 };
extern int pageResult;

// The destination page's folder: DefaultDir, or the folder last browsed to.
extern char defaultFolder[MAX_PATH_BYTES];

// The registry's owner and organisation, the registration page's defaults.
enum { REGISTERED_BYTES = 255 };
extern char registeredOwner[REGISTERED_BYTES];
extern char registeredOrganization[REGISTERED_BYTES];

// Runs the wizard; returns the quit code of its message loop.
int RunWizard(HINSTANCE instance);

// Performs one step; true to go on, false when the page ended with cancel or back
// (pageResult tells which) or the step failed (pageResult is then cancel).
bool RunWizardStep(HWND window, int step);

// Copies a bitmap with its own size to (x, y) with a raster operation.
void DrawBitmap(HDC dc, int x, int y, HBITMAP bitmap, DWORD rop);

#endif
