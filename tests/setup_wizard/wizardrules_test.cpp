// The wizard's decisions that the black-box test cannot reach: odd heights, indexes and drive
// types it never sees, the step order's corners, the welcome text's bounds, Shift-JIS paths.
#include <gtest/gtest.h>

#include <string.h>

#include "wizardrules.h"

namespace {

TEST(WizardRules, BandsColoursAndDrives)
{
    for (int height : {1, 100, 737, 2000}) {
        int next = 0, top, bottom;
        for (int band = 0; band < GRADIENT_BANDS; band++, next = bottom) {
            GradientBandRows(band, height, &top, &bottom);
            ASSERT_EQ(next, top) << height << " band " << band;
            ASSERT_LE(bottom - top, height / 256 + 1) << height << " band " << band;
        }
        EXPECT_EQ(height, next);
    }
    Rgb outside = GradientBandColour(9, 0), yellow = GradientBandColour(6, 100);
    EXPECT_EQ(0, outside.red + outside.green + outside.blue) << "an index out of range is black";
    EXPECT_TRUE(yellow.red == 155 && yellow.green == 155 && yellow.blue == 0);
    const unsigned messages[] = {10, 11, 13, 0, 0, 13, 13, 0};
    for (unsigned type = 0; type < 8; type++)
        EXPECT_EQ(messages[type], DriveMessageId(type)) << "drive type " << type;
}

TEST(WizardRules, StepsReadmeAndSeparators)
{
    StepDecision close = DecideAfterStep(STEP_CLOSE, true, RESULT_NEXT);
    StepDecision backFromFirst = DecideAfterStep(STEP_INIT, false, RESULT_BACK);
    StepDecision back = DecideAfterStep(STEP_START, false, RESULT_BACK);
    EXPECT_EQ(StepAction::Nothing, close.action) << "the window is gone";
    EXPECT_EQ(StepAction::Abort, backFromFirst.action);
    EXPECT_TRUE(back.action == StepAction::Post && back.step == STEP_REGIST && back.clearResult);
    EXPECT_TRUE(StepWaitsForCopy(STEP_CLOSE) && !StepWaitsForCopy(STEP_PROGRESS) && !StepWaitsForCopy(STEP_ABORT));

    static char lines[README_LINES][README_LINE_BYTES] = {"Welcome", " Item", "End"};
    char small[15];   // a line that does not fit whole is left out, with its break
    BuildReadmeText(lines, small, sizeof small);
    EXPECT_STREQ("Welcome\n Item\n", small);
    memset(lines, 'x', sizeof lines);   // slots without terminators: only they are read
    static char big[README_LINES * (README_LINE_BYTES + 1) + 1];
    BuildReadmeText(lines, big, sizeof big);
    EXPECT_EQ(sizeof big - 1, strlen(big));

    char path[] = "C:/Tools\\\x95\x5C/x/";   // a trail byte 0x5C stays as it is
    UseBackslashes(path);
    EXPECT_STREQ("C:\\Tools\\\x95\x5C\\x\\", path);
}

// NT keeps the registered user in its own place; every other platform id is read as the
// Windows 95 family, whose place comes first; the other place follows, then nothing.
TEST(WizardRules, RegisteredUserPlaces)
{
    const char *nt = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    const char *windows = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    struct Case {
        unsigned platformId;
        const char *first, *second;
    };
    const Case cases[] = {{2, nt, windows}, {1, windows, nt}, {0, windows, nt}, {3, windows, nt}};
    for (const Case &c : cases) {
        EXPECT_STREQ(c.first, RegisteredUserKey(c.platformId, 0)) << c.platformId;
        EXPECT_STREQ(c.second, RegisteredUserKey(c.platformId, 1)) << c.platformId;
        EXPECT_EQ(NULL, RegisteredUserKey(c.platformId, REGISTERED_PLACES)) << c.platformId;
        EXPECT_EQ(NULL, RegisteredUserKey(c.platformId, -1)) << c.platformId;
    }
}

}  // namespace
