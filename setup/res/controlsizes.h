// Sizes in dialog units of the page controls that show texts of the setup script. The
// dialog templates are built from them and the medium builder's checker measures the
// script's texts against them, so a changed dialog changes the checker's warnings. Plain
// numbers: read by the resource compiler and by code without windows.h.
#ifndef CONTROL_SIZES_H
#define CONTROL_SIZES_H

#define README_TEXT_WIDTH 160     // INIT_DIALOG's welcome box
#define README_TEXT_HEIGHT 120
#define START_MSG_WIDTH 159       // START_DIALOG's StartMsg1 and StartMsg2 lines
#define PROGRESS_LINE_WIDTH 265   // PROGR_DIALOG's source and destination lines

#endif
