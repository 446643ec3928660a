// The places of SETUP's small windows: exact fractions of the screen and of the text.
#include <gtest/gtest.h>

#include "windowplace.h"

namespace {

TEST(WindowPlace, CenteredPlace)
{
    struct Case {
        int screenWidth, screenHeight;
        WindowPlace place;
    };
    const Case cases[] = {
        {1024, 768, {307, 333, 409, 102}},
        {640, 480, {192, 208, 256, 64}},
        {800, 600, {240, 260, 320, 80}},
        {1280, 1024, {384, 444, 512, 136}},
        {0, 0, {0, 0, 0, 0}},
    };
    for (const Case &c : cases) {
        WindowPlace p = CenteredPlace(c.screenWidth, c.screenHeight);
        EXPECT_EQ(c.place.x, p.x) << c.screenWidth << "x" << c.screenHeight;
        EXPECT_EQ(c.place.y, p.y) << c.screenWidth << "x" << c.screenHeight;
        EXPECT_EQ(c.place.width, p.width) << c.screenWidth << "x" << c.screenHeight;
        EXPECT_EQ(c.place.height, p.height) << c.screenWidth << "x" << c.screenHeight;
    }
}

// Every size a screen or a text can have: the exact fractions in integers give what double
// precision gives (the x87 unit's extended precision would not).
TEST(WindowPlace, ExactFractionsEqualDoublePrecision)
{
#if defined(__i386__) && !defined(__SSE2_MATH__)
    GTEST_SKIP() << "the reference itself needs double-precision arithmetic";
#endif
    for (int n = 0; n <= 70000; n++) {
        volatile double wide = n;
        int width = (int)(0.4 * wide);
        int height = (int)(0.13333333333333333 * wide);
        int text = (int)(wide * 1.2);
        WindowPlace centered = CenteredPlace(n, n);
        WindowPlace uninstall = UninstallPlace(n, n, n);
        ASSERT_EQ(width, centered.width) << n;
        ASSERT_EQ(height, centered.height) << n;
        ASSERT_EQ(height, uninstall.height) << n;
        ASSERT_EQ(text, uninstall.width) << n;
        ASSERT_EQ((n - text) / 2, uninstall.x) << n;
    }
}

TEST(WindowPlace, UninstallPlace)
{
    // 5 * 1.2 is 6 in double precision; an x87 product truncates it to 5.
    WindowPlace p = UninstallPlace(5, 640, 480);
    EXPECT_EQ(6, p.width);
    EXPECT_EQ(64, p.height);
    EXPECT_EQ(317, p.x);
    EXPECT_EQ(208, p.y);
}

}  // namespace
