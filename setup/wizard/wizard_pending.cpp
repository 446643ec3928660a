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
        ShowSetupFailure(NULL, setupContext.baseName);
    return 0;
}
