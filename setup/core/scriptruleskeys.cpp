// The [Setup] key table for the tools that check and document scripts. A file of its own, so
// that SETUP, which reads its keys one by one, does not carry the table.
#include "scriptrules.h"

#define SETUP_KEY(key) {#key, sizeof(SetupScript::key)}
// Unsized here: a table of another length than the header says does not compile.
const SetupKeyInfo kSetupKeys[] = {
    SETUP_KEY(Title),       SETUP_KEY(SubTitle),    SETUP_KEY(BackColor),      SETUP_KEY(Titlemap),
    SETUP_KEY(TitlemapX),   SETUP_KEY(TitlemapY),   SETUP_KEY(Bitmap),         SETUP_KEY(BitmapX),
    SETUP_KEY(BitmapY),     SETUP_KEY(DefaultDir),  SETUP_KEY(StartMsg1),      SETUP_KEY(StartMsg2),
    SETUP_KEY(RegIni),      SETUP_KEY(RegSec),      SETUP_KEY(Uninstall),      SETUP_KEY(ShortCutObj),
    SETUP_KEY(ShortCutLnk), SETUP_KEY(ShortCutDir), SETUP_KEY(ShortCutFld),    SETUP_KEY(ShortCutIco),
    SETUP_KEY(ShortCutIcoNum), SETUP_KEY(ShortCutFldOpn), SETUP_KEY(FinalExec),
};
#undef SETUP_KEY
