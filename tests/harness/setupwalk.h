// SETUP driven as a user drives it, from another process: the installation from a medium
// with every page answered, and the uninstall through the command of its uninstall entry.
// Shared by the end-to-end tests and the journey driver.
#ifndef SETUPWALK_H
#define SETUPWALK_H

#include <windows.h>

#include <string>

struct SetupWalk {
    std::string caption;   // the windows' caption: Title + " セットアップ" or " アンインストール"
    // Called at each step the user sees, with a short name and what the user does (UTF-8).
    void (*step)(void *context, const char *name, const char *whatUtf8) = NULL;
    void *context = NULL;
    // Where the registration page's defaults come from (UTF-8, for the step's text): when set,
    // the page must show expectOwner and expectOrganization (code page 932) and is left as
    // it is; when empty the walk types a name and a division.
    std::string registeredPlace;
    std::string expectOwner;
    std::string expectOrganization;
    // At each disk-change prompt, after its step and before OK: puts the disk asked for in
    // the drive (false: it could not). NULL answers OK at once, as on a CD that holds every disk.
    bool (*changeDisk)(void *context, int disk) = NULL;
    int disksAsked = 0;
    DWORD copyStart = 0;    // ticks when the folder was confirmed and when the copy ended
    DWORD copyEnd = 0;
    std::string failure;   // UTF-8, empty while all went as expected
    std::string lastBox;   // the text of the last message box answered (code page 932)
};

// A visible dialog of any process with this caption that holds a control of this id (a page;
// a message box is found by WaitForMessageBox); NULL when none came within ms.
HWND WaitForDialogWith(const std::string &caption, int requiredId, DWORD ms);

// SETUP.exe from the medium folder (ending in a backslash), through the welcome, registration
// and folder pages with their defaults, the new folder confirmed, every disk-change prompt
// answered, until the completion box is answered. False with walk->failure when a step did not come or the setup did not complete.
bool WalkSetupInstall(const std::string &medium, SetupWalk *walk);

// Runs an uninstall command, confirms it, and answers the result box. True when the result
// said that everything was removed; walk->lastBox holds the result's text either way.
bool WalkUninstall(const std::string &command, SetupWalk *walk);

// The sample package of examples/clock with the built programs, its FinalExec left out (the
// assistant would ask Wine for a Display control panel it does not have), laid out by
// BuildMedium.exe /cd in the folder medium (no trailing backslash) from SuiteFolder()\package.
// script receives the SETUP.ini the package holds (Shift-JIS, CR LF). With data, the package
// also lists it as NOISE.DAT on its first disk. False with failure when a file could not be
// copied or the builder refused.
bool BuildSampleMedium(const std::string &medium, std::string *script, std::string *failure,
                       const std::string &data = std::string());

#endif
