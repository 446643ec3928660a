// The wizard's decisions that the black-box test cannot reach: odd heights, unknown codes and
// drive types, the step order's corners, the welcome text's bounds, Shift-JIS separators.
#include <gtest/gtest.h>

#include <string.h>

#include "wizardrules.h"

namespace {

TEST(WizardRules, BandsTileAnyHeight)
{
    for (int height : {1, 100, 737, 768, 2000}) {
        int next = 0;
        for (int band = 0; band < GRADIENT_BANDS; band++) {
            int top, bottom;
            GradientBandRows(band, height, &top, &bottom);
            EXPECT_EQ(next, top) << height << " band " << band;
            EXPECT_LE(bottom - top, height / 256 + 1) << height << " band " << band;
            next = bottom;
        }
        EXPECT_EQ(height, next);
    }
    Rgb outside = GradientBandColour(9, 0), magenta = GradientBandColour(5, 100);
    EXPECT_EQ(0, outside.red + outside.green + outside.blue) << "an index out of range is black";
    EXPECT_TRUE(magenta.red == 155 && magenta.green == 0 && magenta.blue == 155);
}

TEST(WizardRules, DriveMessagesAndSteps)
{
    const unsigned messages[] = {10, 11, 13, 0, 0, 13, 13, 0};
    for (unsigned type = 0; type < 8; type++)
        EXPECT_EQ(messages[type], DriveMessageId(type)) << "drive type " << type;

    struct Case {
        int step;
        bool wentOn;
        int result;
        StepAction action;
        int next;
    };
    const Case cases[] = {
        {STEP_PROGRESS, true, RESULT_NEXT, StepAction::Post, STEP_DONE},
        {STEP_CLOSE, true, RESULT_NEXT, StepAction::Nothing, 0},
        {STEP_REGIST, false, RESULT_BACK, StepAction::Post, STEP_INIT},
        {STEP_INIT, false, RESULT_BACK, StepAction::Abort, STEP_ABORT},
        {STEP_PROGRESS, false, RESULT_CANCEL, StepAction::Abort, STEP_ABORT},
    };
    for (const Case &c : cases) {
        StepDecision d = DecideAfterStep(c.step, c.wentOn, c.result);
        EXPECT_EQ(c.action, d.action) << c.step;
        EXPECT_EQ(c.next, d.action == StepAction::Nothing ? 0 : d.step) << c.step;
        EXPECT_EQ(c.result == RESULT_BACK && c.action == StepAction::Post, d.clearResult) << c.step;
    }
    EXPECT_FALSE(StepWaitsForCopy(STEP_PROGRESS));
    EXPECT_TRUE(StepWaitsForCopy(STEP_CLOSE));
    EXPECT_FALSE(StepWaitsForCopy(STEP_ABORT));
}

TEST(WizardRules, ReadmeTextAndSeparators)
{
    static char lines[README_LINES][README_LINE_BYTES] = {"Welcome", " Item", "End"};
    // A line that does not fit whole is left out, with the break that would follow it.
    char small[15];
    BuildReadmeText(lines, small, sizeof small);
    EXPECT_STREQ("Welcome\n Item\n", small);
    // Twenty full slots without terminators: only the slots themselves are read.
    memset(lines, 'x', sizeof lines);
    static char big[README_LINES * (README_LINE_BYTES + 1) + 1];
    BuildReadmeText(lines, big, sizeof big);
    EXPECT_EQ(sizeof big - 1, strlen(big));

    char path[] = "C:/Tools\\\x95\x5C/x/";   // a trail byte 0x5C stays as it is
    UseBackslashes(path);
    EXPECT_STREQ("C:\\Tools\\\x95\x5C\\x\\", path);
}

}  // namespace
