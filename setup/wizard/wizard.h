// The installation wizard: the full-screen background window and its pages.
#ifndef WIZARD_H
#define WIZARD_H

#include <windows.h>

#include "pathtext.h"
#include "setupcontext.h"
#include "wizardrules.h"

// The background window's private messages, one per step of the installation: the window's
// names of the rules' numbers.
enum WizardStep {
    PageInit = STEP_INIT,              // welcome page
    PageRegist = STEP_REGIST,          // user name and division
    PageStart = STEP_START,            // install folder
    PageProgress = STEP_PROGRESS,      // the modeless progress dialog
    PageDone = STEP_DONE,              // completion message
    PageFinalExec = STEP_FINAL_EXEC,   // open FinalExec
    PageClose = STEP_CLOSE,            // destroy the background window
    PageAbort = STEP_ABORT             // abort message, then destroy the window
};

// How the last page ended (the rules' results); 0 also while a page is open.
enum { PAGE_NEXT = RESULT_NEXT, PAGE_CANCEL = RESULT_CANCEL, PAGE_BACK = RESULT_BACK };
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
