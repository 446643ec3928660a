// Resource ids of SETUP, shared by setup.rc and the code.
#ifndef SETUP_RESOURCE_H
#define SETUP_RESOURCE_H

// Icon "SETUP" is named, not numbered.

#define IDS_PREPARING 1           // preparation window's text
#define IDS_SETUP_ERROR 3         // an error occurred, setup is stopped
#define IDS_ALREADY_SET_UP 40     // %s is already set up

// The words that follow Title in the captions.
#define IDS_CAPTION_SETUP 100
#define IDS_CAPTION_UNINSTALL 101

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

#endif
