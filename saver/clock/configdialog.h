// The configuration dialog's helpers that tests and the host may call directly.
#ifndef CONFIGDIALOG_H
#define CONFIGDIALOG_H

#include <windows.h>

// Shows the name of the font dialog's last error; a cancelled dialog shows nothing.
void ReportFontDialogError(HWND owner);

#endif
