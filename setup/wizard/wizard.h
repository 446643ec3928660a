// The installation wizard: the full-screen background window and its pages.
#ifndef WIZARD_H
#define WIZARD_H

#include <windows.h>

// Runs the wizard; returns the quit code of its message loop.
int RunWizard(HINSTANCE instance);

#endif
