// The assistant's texts: where it lies, where its settings are, what it asks the platform to
// run. No windows.h here: this file is also built natively, under the sanitizers and the fuzzer.
#ifndef ASSISTTEXT_H
#define ASSISTTEXT_H

#include <stddef.h>

#include "pathtext.h"

// Work texts for the short directory and the launch parameters; the screensaver's name.
enum { ASSIST_WORK_BYTES = 772, SCR_NAME_BYTES = 512 };

// Searched for byte for byte: another spelling leaves the directory empty.
extern const char kProgramName[];
extern const char kSettingsName[];
// The Display control panel's entry, with one blank before and one after.
extern const char kInstallEntry[];

// The directory as written before the first "PAVRELL.exe" of the command line, without an
// opening quote; empty when the name is not there. directory holds MAX_PATH_BYTES. False,
// with directory empty, when the directory is longer than a path text: it cannot be ours.
bool FindProgramDirectory(const char *commandLine, char *directory);

// The directory with its backslash, then "Pavrell.ini"; the bare name for an empty
// directory. path holds MAX_PATH_BYTES. False, with path empty, when it does not fit.
bool BuildSettingsPath(const char *directory, char *path);

// " desk.cpl,InstallScreenSaver " + short directory + screensaver name, as written. False,
// with parameters empty, when the whole does not fit in size bytes: a cut name would
// install some other file.
bool BuildLaunchParameters(const char *shortDirectory, const char *scrName, char *parameters,
                           size_t size);

#endif
