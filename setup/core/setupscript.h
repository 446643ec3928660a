// The validated content of the setup script. No windows.h here: the rules that fill this
// record are also built natively, under the sanitizers and the fuzzer.
#ifndef SETUPSCRIPT_H
#define SETUPSCRIPT_H

#include "pathtext.h"

enum {
    SCRIPT_TEXT_BYTES = 255,    // Title, SubTitle, StartMsg1/2, RegSec, Uninstall, FinalExec
    SCRIPT_NUMBER_BYTES = 80,   // BackColor and the numeric keys
    README_LINES = 20,
    README_LINE_BYTES = 256,
    FILE_LIST_ENTRIES = 100,
    MACRO_BYTES = 10,
    DISK_SECTIONS = 10,
    SECTION_BYTES = 1284        // read buffer of [README] and of each [DISKn]
};

struct ScriptPos {
    int x;
    int y;
};

// One listed file: its path macro ("$App:", "$Win:" or "$Sys:") and its path relative to
// the medium directory.
struct FileEntry {
    char macro[MACRO_BYTES];
    char path[MAX_PATH_BYTES];
};

struct SetupScript {
    // One field per [Setup] key, in the order they are read.
    char Title[SCRIPT_TEXT_BYTES];
    char SubTitle[SCRIPT_TEXT_BYTES];
    char BackColor[SCRIPT_NUMBER_BYTES];
    char Titlemap[MAX_PATH_BYTES];
    char TitlemapX[SCRIPT_NUMBER_BYTES];
    char TitlemapY[SCRIPT_NUMBER_BYTES];
    char Bitmap[MAX_PATH_BYTES];
    char BitmapX[SCRIPT_NUMBER_BYTES];
    char BitmapY[SCRIPT_NUMBER_BYTES];
    char DefaultDir[MAX_PATH_BYTES];
    char StartMsg1[SCRIPT_TEXT_BYTES];
    char StartMsg2[SCRIPT_TEXT_BYTES];
    char RegIni[MAX_PATH_BYTES];
    char RegSec[SCRIPT_TEXT_BYTES];
    char Uninstall[SCRIPT_TEXT_BYTES];
    char ShortCutObj[MAX_PATH_BYTES];
    char ShortCutLnk[MAX_PATH_BYTES];
    char ShortCutDir[MAX_PATH_BYTES];
    char ShortCutFld[MAX_PATH_BYTES];
    char ShortCutIco[MAX_PATH_BYTES];
    char ShortCutIcoNum[SCRIPT_NUMBER_BYTES];
    char ShortCutFldOpn[MAX_PATH_BYTES];
    char FinalExec[SCRIPT_TEXT_BYTES];

    // Derived values.
    int backColorIndex;         // 0 black, 1 BL ... 7 MN
    ScriptPos titlemapPos;
    ScriptPos bitmapPos;
    int shortCutFolderId;       // 0 desktop, 2 programs menu, 7 start-up folder
    int shortCutIconIndex;
    char readmeLines[README_LINES][README_LINE_BYTES];
    FileEntry fileList[FILE_LIST_ENTRIES];
    bool diskStart[FILE_LIST_ENTRIES];  // true for the first entry of each [DISKn]
    int fileCount;                      // entries used in fileList
    int stepCount;                      // fileCount, plus 1 when Uninstall is "1"
};

extern SetupScript setupScript;

// Reads and validates the script scriptDir + scriptName (a backslash is put between them when
// scriptDir lacks one) into script, with sourceDir as DefaultDir's default; scriptPath gets the
// joined path. True when the whole script is valid; otherwise false with the script's name
// and the first bad item, e.g. "SETUP.ini Title Error", in errorText (errorSize bytes).
bool ReadSetupScriptFile(const char *scriptDir, const char *scriptName, const char *sourceDir,
                         SetupScript *script, char (&scriptPath)[MAX_PATH_BYTES], char *errorText,
                         size_t errorSize);

// SETUP's own start: reads scriptDir + scriptName of setupContext into setupScript; also fills
// windowsDir, systemDir and scriptPath. True when the whole script is valid, else false after
// reporting the first bad item through ShowScriptError (none when the Windows or system
// directory is not available).
bool ReadSetupScript();

#endif
