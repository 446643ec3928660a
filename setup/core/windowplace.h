// Where SETUP's small windows stand: the preparation window, and the uninstall window before
// and after it sizes itself to its text. No windows.h here: built natively as well.
#ifndef WINDOWPLACE_H
#define WINDOWPLACE_H

struct WindowPlace {
    int x;
    int y;
    int width;
    int height;
};

// 0.4 of the screen's width and 2/15 of its height, centered, all truncated toward zero.
// Integer arithmetic with the exact fractions: the x87 unit of the 32-bit build would
// truncate 0.13333333333333333 * 480 to 63 where double precision gives 64.
WindowPlace CenteredPlace(int screenWidth, int screenHeight);

// The uninstall window: 1.2 times the width of its text, 2/15 of the screen height, centered.
WindowPlace UninstallPlace(int textWidth, int screenWidth, int screenHeight);

#endif
