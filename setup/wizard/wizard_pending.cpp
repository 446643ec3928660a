#include "wizard.h"

#include "resource.h"
#include "setupcontext.h"
#include "setupmessage.h"
#include "setupscript.h"

// Until the background window and its pages exist, the wizard start only checks the staged
// script, with the same messages as the full wizard, and ends.
int RunWizard(HINSTANCE instance)
{
    (void)instance;
    if (!ReadSetupScript())
        ShowSetupMessage(NULL, IDS_SETUP_ERROR, NULL, setupContext.baseName,
                         MB_OK | MB_ICONERROR);
    return 0;
}
