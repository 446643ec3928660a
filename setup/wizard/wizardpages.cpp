// The wizard's steps: the three modal pages, the progress dialog's start, the completion
// message and the program named by FinalExec.
#include <shlobj.h>
#include <string.h>

#include "installrules.h"
#include "pathfs.h"
#include "progress.h"
#include "resource.h"
#include "setupcontext.h"
#include "setupmessage.h"
#include "setupscript.h"
#include "wizard.h"
#include "wizardrules.h"

namespace {

// How much of the name and division fields is read.
enum { USER_TEXT_LIMIT = 254 };
// The folder field is read whole into this: Wine's field counts its limit in characters, not
// bytes, and a read into a shorter buffer would cut the text anywhere, even inside a
// double-byte character.
enum { FOLDER_FIELD_BYTES = 1024 };

// SHBrowseForFolderA writes the chosen item's display name here.
char browseDisplayName[MAX_PATH];

// What the pages collect for the installation, handed to the progress dialog whole.
char userName[NAME_BYTES];
char division[NAME_BYTES];
FolderSlot createdFolders[FOLDER_LIST_SLOTS];
const InstallChoices installChoices = {userName, division, createdFolders, &pageResult, PageDone,
                                       PageAbort};

int CALLBACK IgnoreBrowseEvents(HWND, UINT, LPARAM, LPARAM)
{
    return 0;
}

// The division may be empty; the name may not.
bool HasUserName(const char *name)
{
    return name[0] != '\0';
}

// Tells why a folder's drive cannot take the installation (nothing for a drive that can).
void DriveTypeMessage(HWND owner, const char *folder, UINT driveType)
{
    UINT id = DriveMessageId(driveType);
    if (id != 0)
        ShowSetupMessage(owner, id, folder, setupContext.baseName, MB_OK | MB_ICONWARNING);
}

// The shell's folder browser; true with the chosen folder in folder (MAX_PATH_BYTES), false
// when the user cancelled or the choice is no file-system folder.
bool BrowseForFolder(HWND owner, UINT flags, const char *title, char *folder)
{
    BROWSEINFOA info;
    memset(&info, 0, sizeof info);
    info.hwndOwner = owner;
    info.pszDisplayName = browseDisplayName;
    info.lpszTitle = title;
    info.ulFlags = flags;
    info.lpfn = IgnoreBrowseEvents;
    LPITEMIDLIST item = SHBrowseForFolderA(&info);
    if (item == NULL)
        return false;
    BOOL converted = SHGetPathFromIDListA(item, browseDisplayName);
    CoTaskMemFree(item);
    if (!converted)
        return false;
    CopyText(folder, MAX_PATH_BYTES, browseDisplayName);
    return true;
}

// Draws the side picture on a page, white replaced by the BackColor; true when drawn.
bool DrawSidePicture(HWND page)
{
    HDC dc = GetDC(page);
    HBITMAP picture = LoadBitmapA(setupContext.instance, "SETUP");
    HBITMAP mask = LoadBitmapA(setupContext.instance, "SETUPM");
    bool drawn = picture != NULL && mask != NULL;
    if (drawn) {
        BITMAP size;
        GetObjectA(picture, sizeof size, &size);
        RECT area = {10, 10, 10 + size.bmWidth, 10 + size.bmHeight};
        Rgb fill = FullColour(setupScript.backColorIndex);
        HBRUSH brush = CreateSolidBrush(RGB(fill.red, fill.green, fill.blue));
        FillRect(dc, &area, brush);
        DeleteObject(brush);
        // White around the shapes becomes the fill; the shapes keep their own colours.
        DrawBitmap(dc, 10, 10, mask, SRCERASE);
        DrawBitmap(dc, 10, 10, picture, SRCINVERT);
    }
    if (picture != NULL)
        DeleteObject(picture);
    if (mask != NULL)
        DeleteObject(mask);
    ReleaseDC(page, dc);
    return drawn;
}

// A page that cannot be shown ends the wizard: it must not count as passed.
bool RunPage(HWND window, const char *name, DLGPROC procedure)
{
    if (DialogBoxParamA(setupContext.instance, name, window, procedure, 0) == -1) {
        ShowSetupFailure(window, setupContext.caption);
        pageResult = PAGE_CANCEL;
        return false;
    }
    return pageResult == PAGE_NEXT;
}

// The installation runs from the dialog's timers. Without the dialog nothing would be
// installed, so a dialog that cannot be created ends the wizard with the abort message.
bool StartProgressDialog(HWND window)
{
    setupContext.progressDialog = CreateDialogParamA(setupContext.instance, "PROGR_DIALOG", window,
                                                     ProgressDialogProc, (LPARAM)&installChoices);
    if (setupContext.progressDialog != NULL)
        return true;
    ShowSetupFailure(window, setupContext.caption);
    pageResult = PAGE_CANCEL;
    return false;
}

void OpenFinalExec()
{
    if (setupScript.FinalExec[0] == '0')
        return;
    char path[MAX_PATH_BYTES];
    // A name that does not fit would open some other file.
    if (!JoinFolderName(path, sizeof path, setupContext.installDir, setupScript.FinalExec))
        return;
    ShellExecuteA(NULL, "open", path, NULL, NULL, SW_SHOWNORMAL);
}

void EndPage(HWND dialog, int result)
{
    pageResult = result;
    EndDialog(dialog, result);
}

// Cancel and back end a page the same way on every page.
bool EndPageByCommand(HWND dialog, int id)
{
    if (id == IDCANCEL)
        EndPage(dialog, PAGE_CANCEL);
    else if (id == IDC_BACK)
        EndPage(dialog, PAGE_BACK);
    else
        return false;
    return true;
}

void ShowReadme(HWND dialog)
{
    char text[SECTION_BYTES];
    BuildReadmeText(setupScript.readmeLines, text, sizeof text);
    SetDlgItemTextA(dialog, IDC_README_TEXT, text);
}

void AcceptUser(HWND dialog)
{
    GetDlgItemTextA(dialog, IDC_USER_NAME, userName, USER_TEXT_LIMIT);
    GetDlgItemTextA(dialog, IDC_DIVISION, division, USER_TEXT_LIMIT);
    if (HasUserName(userName))
        EndPage(dialog, PAGE_NEXT);
    else
        ShowSetupMessage(dialog, IDS_ENTER_USER_NAME, NULL, setupContext.caption,
                         MB_OK | MB_ICONWARNING);
}

void BrowseInstallFolder(HWND dialog)
{
    char title[MESSAGE_BYTES];
    FormatSetupString(title, IDS_BROWSE_TITLE);
    char chosen[MAX_PATH_BYTES];
    if (!BrowseForFolder(dialog, BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN, title, chosen))
        return;
    CopyText(defaultFolder, sizeof defaultFolder, chosen);
    SetDlgItemTextA(dialog, IDC_INSTALL_FOLDER, defaultFolder);
}

// A folder too long for the files that go under it is refused as typed, never cut: a cut
// name is another folder, possibly ending in half a character.
bool TakeFolderField(HWND dialog, char *folder)
{
    char typed[FOLDER_FIELD_BYTES];
    GetDlgItemTextA(dialog, IDC_INSTALL_FOLDER, typed, sizeof typed);
    UseBackslashes(typed);
    if (InstallFolderFits(typed, &setupScript, setupContext.scriptName)) {
        CopyText(folder, MAX_PATH_BYTES, typed);
        return true;
    }
    char shown[MAX_PATH_BYTES];
    CopyText(shown, sizeof shown, typed);
    ShowSetupMessage(dialog, IDS_FOLDER_TOO_LONG, shown, setupContext.caption,
                     MB_OK | MB_ICONWARNING);
    return false;
}

void AcceptInstallFolder(HWND dialog)
{
    char *folder = setupContext.installDir;
    const char *caption = setupContext.caption;
    if (!TakeFolderField(dialog, folder))
        return;
    UINT driveType = 0;
    if (!CheckInstallDrive(folder, &driveType)) {
        DriveTypeMessage(dialog, folder, driveType);
        return;
    }
    if (FolderExists(folder)) {
        if (ShowSetupMessage(dialog, IDS_FOLDER_EXISTS, folder, caption,
                             MB_YESNO | MB_ICONWARNING) == IDYES)
            EndPage(dialog, PAGE_NEXT);
        return;
    }
    if (ShowSetupMessage(dialog, IDS_CREATE_FOLDER, folder, caption,
                         MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (!CreateFolderTree(folder, createdFolders, FOLDER_LIST_SLOTS)) {
        ShowSetupMessage(dialog, IDS_FOLDER_FAILED, NULL, caption, MB_OK | MB_ICONERROR);
        return;
    }
    EndPage(dialog, PAGE_NEXT);
}

// What the pages share: the side picture painted, and cancel and back (EndPageByCommand) for
// a command the page does not take itself.
INT_PTR SidePageMessage(HWND dialog, UINT message, WPARAM wParam)
{
    switch (message) {
    case WM_PAINT:
        DrawSidePicture(dialog);
        return FALSE;
    case WM_COMMAND:
        EndPageByCommand(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK InitDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        SetWindowTextA(dialog, setupContext.caption);
        ShowReadme(dialog);
        return TRUE;
    case WM_COMMAND:
        // The first page has no way back.
        switch (LOWORD(wParam)) {
        case IDOK:
            EndPage(dialog, PAGE_NEXT);
            break;
        case IDCANCEL:
            EndPage(dialog, PAGE_CANCEL);
            break;
        }
        return TRUE;
    }
    return SidePageMessage(dialog, message, wParam);
}

INT_PTR CALLBACK RegistDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        // The registry's values each time, not what was typed on an earlier visit.
        SetWindowTextA(dialog, setupContext.caption);
        SetDlgItemTextA(dialog, IDC_USER_NAME, registeredOwner);
        SetDlgItemTextA(dialog, IDC_DIVISION, registeredOrganization);
        SetFocus(GetDlgItem(dialog, IDC_USER_NAME));
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            AcceptUser(dialog);
            return TRUE;
        }
        break;
    }
    return SidePageMessage(dialog, message, wParam);
}

INT_PTR CALLBACK StartDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        SetWindowTextA(dialog, setupContext.caption);
        SetDlgItemTextA(dialog, IDC_START_MSG1, setupScript.StartMsg1);
        if (strcmp(setupScript.StartMsg2, "*") != 0)
            SetDlgItemTextA(dialog, IDC_START_MSG2, setupScript.StartMsg2);
        // Typing stops where the files would no longer fit; a longer DefaultDir or browsed
        // folder is still shown whole and refused on next.
        SendDlgItemMessageA(dialog, IDC_INSTALL_FOLDER, EM_LIMITTEXT,
                            InstallFolderLimit(&setupScript, setupContext.scriptName), 0);
        SetDlgItemTextA(dialog, IDC_INSTALL_FOLDER, defaultFolder);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_BROWSE:
            BrowseInstallFolder(dialog);
            return TRUE;
        case IDOK:
            AcceptInstallFolder(dialog);
            return TRUE;
        }
        break;
    }
    return SidePageMessage(dialog, message, wParam);
}

}  // namespace

bool RunWizardStep(HWND window, int step)
{
    switch (step) {
    case PageInit:
        return RunPage(window, "INIT_DIALOG", InitDialogProc);
    case PageRegist:
        return RunPage(window, "REGIST_DIALOG", RegistDialogProc);
    case PageStart:
        return RunPage(window, "START_DIALOG", StartDialogProc);
    case PageProgress:
        return StartProgressDialog(window);
    case PageDone:
        ShowSetupMessage(window, IDS_SETUP_COMPLETE, setupScript.Title, setupContext.caption,
                         MB_OK | MB_ICONINFORMATION);
        return true;
    case PageFinalExec:
        OpenFinalExec();
        return true;
    case PageClose:
        DestroyWindow(window);
        return true;
    }
    return false;
}
