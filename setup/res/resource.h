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

// The uninstaller (uninstall.rc).
#define IDS_UNINSTALL_CONFIRM 41  // uninstall the title?
#define IDS_UNINSTALLING 42       // uninstalling the title (the window's text)
#define IDS_UNINSTALL_DONE 43     // uninstalling the title completed normally
#define IDS_UNINSTALL_PARTIAL 44  // uninstalled, but some files or settings were not removed

#endif
