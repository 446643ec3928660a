#include "configdialog.h"

#include <commdlg.h>
#include <shellapi.h>
#include <string.h>

#include "clocksettings.h"
#include "fonterrors.h"
#include "saverhost.h"
#include "saverres.h"
#include "settingslayout.h"
#include "text.h"

enum { BITMAP_NAME_BYTES = 16 };
static_assert(IDC_BACKCOL5 == IDC_BACKCOL0 + BACK_COLOR_COUNT - 1, "one button per palette entry");

static CHOOSEFONTA fontChoice;

BOOL RegisterConfigClasses(HINSTANCE instance)
{
    // The dialog uses only the system's own control classes.
    (void)instance;
    return TRUE;
}

void ReportFontDialogError(HWND owner)
{
    const char *name = FontDialogErrorName(CommDlgExtendedError());
    if (name != NULL)
        MessageBoxA(owner, name, kProductName, MB_ICONERROR);
}

static void ChooseClockFont(HWND dialog)
{
    // The dialog works on a copy: some font dialogs write into the record even when the
    // user cancels, and a cancelled choice must leave the font as it was.
    static LOGFONTA chosen;
    chosen = ClockSettings.Font;
    memset(&fontChoice, 0, sizeof fontChoice);
    fontChoice.lStructSize = sizeof fontChoice;
    fontChoice.hwndOwner = dialog;
    fontChoice.hDC = NULL;
    fontChoice.lpLogFont = &chosen;
    fontChoice.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS | CF_FIXEDPITCHONLY | CF_NOVERTFONTS;
    fontChoice.rgbColors = ClockSettings.TextCol;
    if (ChooseFontA(&fontChoice)) {
        ClockSettings.Font = chosen;
        ClockSettings.TextCol = fontChoice.rgbColors;
    } else {
        ReportFontDialogError(dialog);
    }
}

static void InitConfigDialog(HWND dialog)
{
    LoadClockSettings();
    for (int i = 0; i < BACK_COLOR_COUNT; i++) {
        char name[BITMAP_NAME_BYTES];
        CopyText(name, sizeof name, BITMAP_NAME_PREFIX);
        AppendDecimal(name, sizeof name, i);
        // Kept until the process ends: the buttons show them as long as the dialog lives.
        HANDLE bitmap = LoadImageA(saverHost.instance, name, IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR);
        SendDlgItemMessageA(dialog, IDC_BACKCOL0 + i, BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)bitmap);
    }
    for (int i = 0; i < BACK_COLOR_COUNT; i++) {
        if (ClockSettings.BackCol & (1u << i))
            SendDlgItemMessageA(dialog, IDC_BACKCOL0 + i, BM_SETCHECK, BST_CHECKED, 0);
    }
    SendDlgItemMessageA(dialog, IDC_BACKLOOP, BM_SETCHECK, (WPARAM)ClockSettings.BackLoop, 0);
    SendDlgItemMessageA(dialog, IDC_TEXTPEN, BM_SETCHECK, (WPARAM)ClockSettings.TextPen, 0);
}

INT_PTR CALLBACK SaverConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        InitConfigDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            SaveClockSettings(dialog);
            EndDialog(dialog, 1);
            break;
        case IDCANCEL:
            EndDialog(dialog, 1);
            break;
        case IDC_CHOOSEFONT:
            ChooseClockFont(dialog);
            break;
        case IDC_HOMEPAGE:
            ShellExecuteA(NULL, "open", HOME_PAGE_ADDRESS, NULL, NULL, SW_SHOWNORMAL);
            break;
        default:
            break;
        }
        return TRUE;
    default:
        return FALSE;
    }
}
