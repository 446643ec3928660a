// Shell links to the installed program through the platform's shell link object.
#ifndef SHORTCUT_H
#define SHORTCUT_H

// Places linkName + ".lnk" pointing at target in the special folder of folderKind (0 desktop,
// 2 programs menu, 7 start-up folder), inside subFolder when given (created as needed and
// recorded in the install log's shortcut-folder list), with an icon when iconFile is given.
// folderOut (MAX_PATH_BYTES) receives the folder that holds the link as soon as it is
// settled, before the link is written.
bool CreateShortcut(const char *target, const char *linkName, int folderKind,
                    const char *subFolder, const char *iconFile, int iconIndex, char *folderOut);

// A link file with the given target, arguments, working directory and show command.
bool SaveShellLink(const char *target, const char *arguments, const char *linkFile,
                   const char *workingDir, int showCommand);

// Gives an existing link file an icon location.
bool SetShellLinkIcon(const char *linkFile, const char *iconFile, int iconIndex);

#endif
