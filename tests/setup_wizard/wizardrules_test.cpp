// The wizard's decisions: gradient bands and colours, title colours, drive messages, the
// order of the steps, the welcome text and the install folder's separators.
#include <gtest/gtest.h>

#include <string.h>

#include "wizardrules.h"

namespace {

TEST(WizardRules, GradientBandsTileTheClientArea)
{
    struct Case {
        int height, band, top, bottom;
    };
    const Case cases[] = {
        {768, 0, 0, 3},   {768, 255, 765, 768}, {100, 0, 0, 0},       {100, 2, 0, 1},
        {100, 255, 99, 100}, {1, 255, 0, 1},    {2000, 128, 1000, 1007},
    };
    for (const Case &c : cases) {
        int top = -1, bottom = -1;
        GradientBandRows(c.band, c.height, &top, &bottom);
        EXPECT_EQ(c.top, top) << c.height << " band " << c.band;
        EXPECT_EQ(c.bottom, bottom) << c.height << " band " << c.band;
    }
    // Every row of an odd height belongs to exactly one band.
    int next = 0;
    for (int band = 0; band < GRADIENT_BANDS; band++) {
        int top, bottom;
        GradientBandRows(band, 737, &top, &bottom);
        EXPECT_EQ(next, top) << band;
        next = bottom;
    }
    EXPECT_EQ(737, next);
}

TEST(WizardRules, ColoursOfEachBackColor)
{
    struct Case {
        int index;
        Rgb top, bottom, full, text, shadow;
    };
    const Rgb w = {255, 255, 255}, k = {0, 0, 0};
    const Case cases[] = {
        {0, k, k, k, w, k},
        {1, {0, 0, 255}, k, {0, 0, 255}, w, k},
        {2, {0, 255, 0}, k, {0, 255, 0}, w, k},
        {3, {255, 0, 0}, k, {255, 0, 0}, w, k},
        {4, {0, 255, 255}, k, {0, 255, 255}, w, k},
        {5, {255, 0, 255}, k, {255, 0, 255}, w, k},
        {6, {255, 255, 0}, k, {255, 255, 0}, w, k},
        {7, w, k, w, k, w},
        {8, k, k, k, w, k},    // no such index: black, as an unknown code
        {-1, k, k, k, w, k},
    };
    auto same = [](Rgb a, Rgb b) { return a.red == b.red && a.green == b.green && a.blue == b.blue; };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_TRUE(same(c.top, GradientBandColour(c.index, 0)));
        EXPECT_TRUE(same(c.bottom, GradientBandColour(c.index, 255)));
        EXPECT_TRUE(same(c.full, FullColour(c.index)));
        Rgb text, shadow;
        TitleColours(c.index, &text, &shadow);
        EXPECT_TRUE(same(c.text, text));
        EXPECT_TRUE(same(c.shadow, shadow));
    }
    Rgb middle = GradientBandColour(5, 100);
    EXPECT_EQ(155, middle.red);
    EXPECT_EQ(0, middle.green);
    EXPECT_EQ(155, middle.blue);
}

TEST(WizardRules, DriveMessages)
{
    const unsigned expected[] = {10, 11, 13, 0, 0, 13, 13, 0, 0};
    for (unsigned type = 0; type < sizeof expected / sizeof expected[0]; type++)
        EXPECT_EQ(expected[type], DriveMessageId(type)) << "type " << type;
}

TEST(WizardRules, StepSequence)
{
    struct Case {
        int step;
        bool wentOn;
        int result;
        StepAction action;
        int next;
        bool clear;
    };
    const Case cases[] = {
        {STEP_INIT, true, RESULT_NEXT, StepAction::Post, STEP_REGIST, false},
        {STEP_START, true, RESULT_NEXT, StepAction::Post, STEP_PROGRESS, false},
        {STEP_PROGRESS, true, RESULT_NEXT, StepAction::Post, STEP_DONE, false},
        {STEP_FINAL_EXEC, true, RESULT_NEXT, StepAction::Post, STEP_CLOSE, false},
        {STEP_CLOSE, true, RESULT_NEXT, StepAction::Nothing, 0, false},
        {STEP_START, false, RESULT_BACK, StepAction::Post, STEP_REGIST, true},
        {STEP_REGIST, false, RESULT_BACK, StepAction::Post, STEP_INIT, true},
        {STEP_INIT, false, RESULT_BACK, StepAction::Abort, STEP_ABORT, false},
        {STEP_REGIST, false, RESULT_CANCEL, StepAction::Abort, STEP_ABORT, false},
        {STEP_PROGRESS, false, RESULT_CANCEL, StepAction::Abort, STEP_ABORT, false},
    };
    for (const Case &c : cases) {
        StepDecision d = DecideAfterStep(c.step, c.wentOn, c.result);
        EXPECT_EQ(c.action, d.action) << c.step << " " << c.result;
        if (d.action == StepAction::Post)
            EXPECT_EQ(c.next, d.step) << c.step;
        EXPECT_EQ(c.clear, d.clearResult) << c.step;
    }
    EXPECT_FALSE(StepWaitsForCopy(STEP_PROGRESS));
    EXPECT_TRUE(StepWaitsForCopy(STEP_DONE));
    EXPECT_TRUE(StepWaitsForCopy(STEP_CLOSE));
    EXPECT_FALSE(StepWaitsForCopy(STEP_ABORT));
}

TEST(WizardRules, ReadmeText)
{
    static char lines[README_LINES][README_LINE_BYTES];
    strcpy(lines[0], "Welcome");
    strcpy(lines[1], " Item");
    strcpy(lines[2], "End");
    strcpy(lines[4], "after an empty value");
    char text[1284];
    BuildReadmeText(lines, text, sizeof text);
    EXPECT_STREQ("Welcome\n Item\nEnd\n", text);

    // A line that does not fit whole is left out, with the break that would follow it.
    char small[15];
    BuildReadmeText(lines, small, sizeof small);
    EXPECT_STREQ("Welcome\n Item\n", small);

    // Twenty full slots, unterminated: at most the slots themselves are read.
    memset(lines, 'x', sizeof lines);
    static char big[README_LINES * (README_LINE_BYTES + 1) + 1];
    BuildReadmeText(lines, big, sizeof big);
    EXPECT_EQ(sizeof big - 1, strlen(big));
}

TEST(WizardRules, FolderSeparators)
{
    struct Case {
        const char *typed, *taken;
    };
    const Case cases[] = {
        {"C:/Program Files/Clock", "C:\\Program Files\\Clock"},
        {"C:\\Tools/", "C:\\Tools\\"},
        {"C:\\\x95\x5C/x", "C:\\\x95\x5C\\x"},   // a trail byte 0x5C stays as it is
        {"", ""},
    };
    for (const Case &c : cases) {
        char path[64];
        strcpy(path, c.typed);
        UseBackslashes(path);
        EXPECT_STREQ(c.taken, path);
    }
}

}  // namespace
