// The volume label of a medium, from its setup script: the ASCII letters and digits of the
// Title as SETUP reads it, in capitals, every run of other characters one '_' and none at
// either end ("Velmora 時計" gives VELMORA). A Title without an ASCII letter or digit gives
// the script's name the same way ("SETUP"), and a name without one gives SETUP. The disk
// images take their labels from it. No windows.h: built natively as well.
#ifndef VOLUMELABEL_H
#define VOLUMELABEL_H

#include <stddef.h>

enum {
    // A CD's volume identifier holds 32 characters; a floppy's label 11, with the disk's
    // number, is cut from it.
    VOLUME_LABEL_MAX = 32,
    VOLUME_LABEL_BYTES = VOLUME_LABEL_MAX + 1,
};

// text: the whole script, length bytes, in Shift-JIS, or in UTF-8 when utf8 is set or it
// begins with a UTF-8 byte-order mark. baseName: the script's name without ".ini", in
// Shift-JIS. False when out of memory.
bool ScriptVolumeLabel(const char *text, size_t length, bool utf8, const char *baseName,
                       char label[VOLUME_LABEL_BYTES]);

#endif
