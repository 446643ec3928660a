#include "uninstaller.h"

// The uninstaller is not built yet: its start reports failure (string 3) instead of
// pretending to remove anything.
BOOL ReadInstallLog()
{
    return FALSE;
}

int RunUninstall(HINSTANCE instance)
{
    (void)instance;
    return 0;
}
