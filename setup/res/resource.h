// Resource ids of SETUP, shared by setup.rc and the code.
#ifndef SETUP_RESOURCE_H
#define SETUP_RESOURCE_H

#include "controlsizes.h"

// Icon "SETUP" is named, not numbered.

#define IDS_PREPARING 1           // preparation window's line: at most 15 full-width characters
#define IDS_SETUP_ERROR 3         // an error occurred, setup is stopped
#define IDS_ALREADY_SET_UP 40     // %s is already set up

// The words that follow Title in the captions.
#define IDS_CAPTION_SETUP 100
#define IDS_CAPTION_UNINSTALL 101

// ---- Wizard: the background window and its pages -------------------------------------
// Dialogs "INIT_DIALOG", "REGIST_DIALOG", "START_DIALOG" and bitmaps "SETUP", "SETUPM" are
// named, not numbered.

#define IDS_SETUP_COMPLETE 2          // setup of %s is complete
#define IDS_SETUP_ABORTED 4           // setup of %s was interrupted
#define IDS_CREATE_FOLDER 7           // %s: create the new folder?
#define IDS_FOLDER_EXISTS 8           // %s: the folder exists; install over it?
#define IDS_FOLDER_FAILED 9           // creating the folder failed
#define IDS_DRIVE_UNKNOWN 10          // %s: the drive type is unknown
#define IDS_DRIVE_MISSING 11          // %s: the drive does not exist
#define IDS_DRIVE_NOT_INSTALLABLE 13  // %s: cannot install on this drive
#define IDS_BROWSE_TITLE 16           // choose the destination folder
#define IDS_ENTER_USER_NAME 32        // enter the user name
#define IDS_FOLDER_TOO_LONG 45        // %s: the folder is too long for the files under it

// Controls of the pages (1 next and 2 cancel are IDOK and IDCANCEL).
#define IDC_BROWSE 3
#define IDC_BACK 4
#define IDC_README_TEXT 10            // INIT_DIALOG
#define IDC_REGIST_TEXT 10            // REGIST_DIALOG
#define IDC_USER_NAME 11
#define IDC_DIVISION 12
#define IDC_START_MSG1 10             // START_DIALOG
#define IDC_START_MSG2 11
#define IDC_INSTALL_FOLDER 13
#define IDC_FOLDER_LABEL 14
// ---- end of the wizard's ids ----------------------------------------------------------

// ---- Installation engine: the progress dialog PROGR_DIALOG (named, not numbered) ----
#define IDS_COPY_SOURCE 5         // copy source: %s
#define IDS_COPY_DESTINATION 6    // copy destination: %s
#define IDS_FILE_NOT_FOUND 18     // %s not found, check the drive
#define IDS_CHANGE_DISK 19        // change to disk %ld
#define IDS_COPY_FAILED 20        // copying the file failed, %s

#define IDC_PROGRESS_TITLE 10
#define IDC_PROGRESS_SOURCE 11
#define IDC_PROGRESS_DESTINATION 12
#define IDC_PROGRESS_BAR 13
// ---- end of the engine's ids ----

// The uninstaller (uninstall.rc).
#define IDS_UNINSTALL_CONFIRM 41  // uninstall the title?
#define IDS_UNINSTALLING 42       // uninstalling the title (the window's text)
#define IDS_UNINSTALL_DONE 43     // uninstalling the title completed normally
#define IDS_UNINSTALL_PARTIAL 44  // uninstalled, but some files or settings were not removed
#define IDS_FORGET_ENTRY 46       // remove %s from the list of installed programs?

#endif
