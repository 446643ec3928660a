// The saver window's close rules over a recording fake of the window system.
#include <gtest/gtest.h>

#include <limits.h>

#include "closerules.h"
#include "fakeplatform.h"

namespace {

void *const window = (void *)0x1234;

// The releases and the wheel, which never end the saver.
enum { KeyUp = 0x0101, SysKeyUp = 0x0105, LeftUp = 0x0202, RightUp = 0x0205, MiddleUp = 0x0208, Wheel = 0x020A };

class CloseRules : public ::testing::Test {
protected:
    SaverRuleState state;
    void SetUp() override { ResetFake(&state); }

    // A message as the window receives it: class procedure, stand-in clock, host default.
    intptr_t Send(unsigned message, uintptr_t wParam = 0, intptr_t lParam = 0)
    {
        return SaverClassRule(state, fakePlatform, window, message, wParam, lParam);
    }

    void UsePassword(std::function<intptr_t()> verifier)
    {
        state.isWin9x = true;
        fake.verifierLoaded = true;
        fake.verifier = verifier;
    }
};

TEST_F(CloseRules, StartValues)
{
    EXPECT_EQ(4u, state.mouseThreshold);
    EXPECT_EQ(0xFFFFFFFFu, state.lastVerifyTick);
    EXPECT_FALSE(state.closePermitted);
    EXPECT_FALSE(state.verifying);
    EXPECT_FALSE(state.isPreview);
}

struct InputCase {
    const char *name;
    unsigned message;
    uintptr_t wParam;
    bool closes;
};

const InputCase inputCases[] = {
    {"key press", MSG_KEYDOWN, 'A', true},
    {"key press with Alt", MSG_SYSKEYDOWN, 'X', true},
    {"left button", MSG_LBUTTONDOWN, 1, true},
    {"right button", MSG_RBUTTONDOWN, 2, true},
    {"middle button", MSG_MBUTTONDOWN, 16, true},
    {"switch to another application", MSG_ACTIVATEAPP, 0, true},
    {"being activated", MSG_ACTIVATEAPP, 1, false},
    {"key release", KeyUp, 'A', false},
    {"key release with Alt", SysKeyUp, 'X', false},
    {"left release", LeftUp, 0, false},
    {"right release", RightUp, 0, false},
    {"middle release", MiddleUp, 0, false},
    {"wheel", Wheel, 120u << 16, false},
    {"mouse move without travel", MSG_MOUSEMOVE, 0, false},
    {"other system command", MSG_SYSCOMMAND, 0xF060, false},
};

TEST_F(CloseRules, InputFullScreen)
{
    for (const InputCase &c : inputCases) {
        for (bool win9x : {false, true}) {
            state = SaverRuleState();
            state.isWin9x = win9x;
            ResetFake(&state);
            Send(c.message, c.wParam);
            EXPECT_EQ(c.closes ? 1 : 0, fake.closesPosted) << c.name << (win9x ? " (95)" : " (NT)");
            EXPECT_EQ(0, fake.verifierCalls) << c.name;
        }
    }
}

TEST_F(CloseRules, InputInPreviewNeverCloses)
{
    for (const InputCase &c : inputCases) {
        state = SaverRuleState();
        state.isPreview = true;
        ResetFake(&state);
        fake.cursor = {500, 500};
        EXPECT_EQ(FakeDefaultResult, Send(c.message, c.wParam)) << c.name;
        EXPECT_EQ(0, fake.closesPosted) << c.name;
        EXPECT_EQ(0, fake.cursorHidden) << c.name;
    }
    EXPECT_EQ(FakeDefaultResult, Send(MSG_CLOSE));
    EXPECT_EQ(FakeDefaultResult, Send(MSG_SETCURSOR));
    EXPECT_EQ(0, fake.cursorHidden);
}

struct TravelCase {
    const char *name;
    RulePoint from;
    RulePoint to;
    uint32_t travel;
    bool closes;
};

const TravelCase travelCases[] = {
    {"still", {100, 100}, {100, 100}, 0, false},
    {"2 right 2 down", {100, 100}, {102, 102}, 4, false},
    {"2 right 3 down", {100, 100}, {102, 103}, 5, true},
    {"4 left", {100, 100}, {96, 100}, 4, false},
    {"5 up", {100, 100}, {100, 95}, 5, true},
    {"3 left 2 up", {1, 1}, {-2, -1}, 5, true},
    {"across the extremes wraps", {INT32_MIN, 0}, {INT32_MAX, 0}, 1, false},
    {"largest distance on one axis", {INT32_MIN, 0}, {-1, 0}, 0x7FFFFFFFu, true},
    {"sum wraps to small", {0, 0}, {INT32_MIN, INT32_MIN}, 0, false},
};

TEST_F(CloseRules, MouseTravel)
{
    for (const TravelCase &c : travelCases) {
        EXPECT_EQ(c.travel, MouseTravel(c.from, c.to)) << c.name;
        state = SaverRuleState();
        ResetFake(&state);
        state.referencePoint = c.from;
        fake.cursor = c.to;
        // The message's own coordinates are not used.
        Send(MSG_MOUSEMOVE, 0, (intptr_t)0x7FFF7FFF);
        EXPECT_EQ(c.closes ? 1 : 0, fake.closesPosted) << c.name;
        RulePoint expected = c.closes ? c.to : c.from;
        EXPECT_EQ(expected.x, state.referencePoint.x) << c.name;
        EXPECT_EQ(expected.y, state.referencePoint.y) << c.name;
    }
}

TEST_F(CloseRules, TravelIsCountedFromTheLastClosingMove)
{
    fake.cursor = {10, 10};
    Send(MSG_CREATE);
    fake.cursor = {12, 12};
    Send(MSG_MOUSEMOVE);
    EXPECT_EQ(0, fake.closesPosted);
    fake.cursor = {13, 12};
    Send(MSG_MOUSEMOVE);
    EXPECT_EQ(1, fake.closesPosted);
    fake.cursor = {15, 14};
    Send(MSG_MOUSEMOVE);
    EXPECT_EQ(1, fake.closesPosted);
}

struct ClassCase {
    const char *name;
    unsigned message;
    uintptr_t wParam;
    bool preview;
    bool closePermitted;
    intptr_t result;     // FakeClockResult: passed on to the clock
    int hides;
    int yields;
};

const ClassCase classCases[] = {
    {"title change", MSG_SETTEXT, 0, false, false, 0, 0, 0},
    {"title change in preview", MSG_SETTEXT, 0, true, false, 0, 0, 0},
    {"paint", MSG_PAINT, 0, false, false, FakeClockResult, 1, 0},
    {"paint in preview", MSG_PAINT, 0, true, false, FakeClockResult, 0, 0},
    {"paint after close permitted", MSG_PAINT, 0, false, true, FakeDefaultResult, 0, 0},
    {"timer", MSG_TIMER, 1, false, false, FakeClockResult, 0, 1},
    {"timer in preview", MSG_TIMER, 1, true, false, FakeClockResult, 0, 1},
    {"timer after close permitted", MSG_TIMER, 1, false, true, 0, 0, 0},
    {"next window", MSG_SYSCOMMAND, 0xF040, false, false, 0, 0, 0},
    {"previous window", MSG_SYSCOMMAND, 0xF050, false, false, 0, 0, 0},
    {"screensave", MSG_SYSCOMMAND, 0xF140, false, false, 0, 0, 0},
    {"screensave with low bits", MSG_SYSCOMMAND, 0xF142, false, false, FakeClockResult, 0, 0},
    {"close command", MSG_SYSCOMMAND, 0xF060, false, false, FakeClockResult, 0, 0},
    {"screensave in preview", MSG_SYSCOMMAND, 0xF140, true, false, FakeClockResult, 0, 0},
    {"key after close permitted", MSG_KEYDOWN, 0, false, true, FakeDefaultResult, 0, 0},
    {"mouse after close permitted", MSG_MOUSEMOVE, 0, false, true, FakeDefaultResult, 0, 0},
    {"button after close permitted", MSG_MBUTTONDOWN, 0, false, true, FakeDefaultResult, 0, 0},
    {"help in full screen", MSG_HELP, 0, false, false, FakeClockResult, 0, 0},
    {"help in preview", MSG_HELP, 0, true, false, 1, 0, 0},
    {"context menu in preview", MSG_CONTEXTMENU, 0, true, false, 1, 0, 0},
    {"other message", 0x0400, 0, false, false, FakeClockResult, 0, 0},
};

TEST_F(CloseRules, ClassProcedure)
{
    for (const ClassCase &c : classCases) {
        state = SaverRuleState();
        state.isPreview = c.preview;
        state.closePermitted = c.closePermitted;
        ResetFake(&state);
        fake.clockPassesOn = false;
        EXPECT_EQ(c.result, Send(c.message, c.wParam)) << c.name;
        EXPECT_EQ(c.hides, fake.cursorHidden) << c.name;
        EXPECT_EQ(c.yields, fake.yields) << c.name;
        EXPECT_EQ(c.result == FakeClockResult ? 1u : 0u, fake.clockMessages.size()) << c.name;
        bool toParent = c.preview && (c.message == MSG_HELP || c.message == MSG_CONTEXTMENU);
        EXPECT_EQ(toParent ? 1u : 0u, fake.forwarded.size()) << c.name;
    }
}

TEST_F(CloseRules, CreationAndDestruction)
{
    for (bool preview : {false, true}) {
        state = SaverRuleState();
        state.isPreview = preview;
        ResetFake(&state);
        fake.clockPassesOn = false;
        fake.cursor = {321, -7};
        EXPECT_EQ(FakeClockResult, Send(MSG_CREATE));
        EXPECT_EQ(1, fake.detaches);
        EXPECT_EQ(321, state.referencePoint.x);
        EXPECT_EQ(-7, state.referencePoint.y);
        EXPECT_EQ(preview ? 0 : 1, fake.cursorHidden);
        EXPECT_EQ(FakeClockResult, Send(MSG_DESTROY));
        EXPECT_EQ(1, fake.restores);
        EXPECT_EQ(1, fake.quits);
        EXPECT_EQ(2u, fake.clockMessages.size());
    }
}

TEST_F(CloseRules, CursorStaysHidden)
{
    EXPECT_EQ(1, Send(MSG_SETCURSOR));
    EXPECT_EQ(1, fake.cursorHidden);
    EXPECT_TRUE(fake.defaultMessages.empty());
    Send(MSG_SHOWWINDOW, 1);
    EXPECT_EQ(2, fake.cursorHidden);
    Send(MSG_SHOWWINDOW, 0);
    EXPECT_EQ(2, fake.cursorHidden);
}

TEST_F(CloseRules, CloseWithoutPasswordIsNeverQuestioned)
{
    // NT family: the verifier is not even looked at.
    fake.verifierLoaded = true;
    EXPECT_EQ(FakeDefaultResult, Send(MSG_CLOSE));
    EXPECT_EQ(0, fake.verifierCalls);
    EXPECT_FALSE(state.closePermitted);
    EXPECT_EQ(FakeDefaultResult, Send(VerifyPasswordMessage));

    // Windows 95 family without a verifier: the first request is allowed.
    state = SaverRuleState();
    state.isWin9x = true;
    ResetFake(&state);
    EXPECT_EQ(1, Send(VerifyPasswordMessage));
    EXPECT_EQ(FakeDefaultResult, Send(MSG_CLOSE));
    EXPECT_TRUE(state.closePermitted);
    EXPECT_EQ(0, fake.tickDrops);
}

TEST_F(CloseRules, RefusedPasswordKeepsTheSaverAndWaits200ms)
{
    UsePassword([] { fake.tick += 30; return 0; });
    fake.tick = 1000;
    state.referencePoint = {5, 5};
    fake.cursor = {50, 60};
    EXPECT_EQ(0, Send(MSG_CLOSE));
    EXPECT_EQ(1, fake.verifierCalls);
    EXPECT_EQ(1, fake.tickDrops);
    EXPECT_FALSE(state.closePermitted);
    EXPECT_FALSE(state.verifying);
    EXPECT_EQ(1030u, state.lastVerifyTick);   // read after the check
    EXPECT_EQ(50, state.referencePoint.x);
    EXPECT_EQ(60, state.referencePoint.y);
    EXPECT_GE(fake.cursorHidden, 1);
    EXPECT_TRUE(fake.defaultMessages.empty() ||
                fake.defaultMessages.back() != MSG_CLOSE);

    fake.tick = 1030 + 199;
    EXPECT_EQ(0, Send(MSG_CLOSE));
    EXPECT_EQ(1, fake.verifierCalls);
    EXPECT_EQ(1, fake.tickDrops);

    fake.tick = 1030 + 200;
    EXPECT_EQ(0, Send(MSG_CLOSE));
    EXPECT_EQ(2, fake.verifierCalls);
}

TEST_F(CloseRules, AcceptedPasswordDestroys)
{
    UsePassword([] { return 1; });
    EXPECT_EQ(FakeDefaultResult, Send(MSG_CLOSE));
    EXPECT_EQ(1, fake.verifierCalls);
    EXPECT_TRUE(state.closePermitted);
    EXPECT_EQ(MSG_CLOSE, fake.defaultMessages.back());
    // From here on input goes to the default handling and ticks are dropped.
    fake.clockPassesOn = false;
    size_t clockSeen = fake.clockMessages.size();
    EXPECT_EQ(0, Send(MSG_TIMER, 1));
    EXPECT_EQ(FakeDefaultResult, Send(MSG_KEYDOWN));
    EXPECT_EQ(clockSeen, fake.clockMessages.size());
    EXPECT_EQ(0, fake.closesPosted);
}

struct TickCase {
    const char *name;
    uint32_t last;
    uint32_t now;
    bool asks;
};

const TickCase tickCases[] = {
    {"never checked", 0xFFFFFFFFu, 5, true},
    {"just after", 1000, 1000, false},
    {"199 ms", 1000, 1199, false},
    {"200 ms", 1000, 1200, true},
    {"across the wrap, 96 ms", 0xFFFFFFF0u, 0x50, false},
    {"across the wrap, 200 ms", 0xFFFFFFF0u, 0xB8, true},
    {"checked at tick 0", 0, 150, false},
    {"clock went backwards", 5000, 4000, true},
};

TEST_F(CloseRules, RecheckIntervalWithWrapAround)
{
    for (const TickCase &c : tickCases) {
        state = SaverRuleState();
        ResetFake(&state);
        UsePassword([] { return 0; });
        state.lastVerifyTick = c.last;
        fake.tick = c.now;
        EXPECT_FALSE(ConfirmCloseRule(state, fakePlatform, window)) << c.name;
        EXPECT_EQ(c.asks ? 1 : 0, fake.verifierCalls) << c.name;
        EXPECT_EQ(c.asks ? c.now : c.last, state.lastVerifyTick) << c.name;
    }
}

TEST_F(CloseRules, NothingClosesWhileTheVerifierRuns)
{
    int nestedCloseResult = -1;
    size_t clockTicks = 0;
    UsePassword([&] {
        EXPECT_TRUE(state.verifying);
        fake.cursor = {900, 900};
        Send(MSG_MOUSEMOVE);
        Send(MSG_KEYDOWN);
        Send(MSG_LBUTTONDOWN);
        Send(MSG_ACTIVATEAPP, 0);
        nestedCloseResult = (int)Send(MSG_CLOSE);
        // Ticks still reach the clock.
        size_t before = fake.clockMessages.size();
        Send(MSG_TIMER, 1);
        clockTicks = fake.clockMessages.size() - before;
        return 0;
    });
    EXPECT_EQ(0, Send(MSG_CLOSE));
    EXPECT_EQ(0, fake.closesPosted);
    EXPECT_EQ(0, nestedCloseResult);
    EXPECT_EQ(1, fake.verifierCalls);
    EXPECT_EQ(1u, clockTicks);
    EXPECT_FALSE(state.verifying);
    EXPECT_FALSE(state.closePermitted);
}

TEST_F(CloseRules, ConfirmCloseWhileVerifyingAnswersFalse)
{
    UsePassword([] { return 1; });
    state.verifying = true;
    EXPECT_FALSE(ConfirmCloseRule(state, fakePlatform, window));
    EXPECT_EQ(0, fake.verifierCalls);
    EXPECT_FALSE(state.closePermitted);
}

TEST_F(CloseRules, TheClockMayAnswerTheCheckItself)
{
    UsePassword([] { return 0; });
    fake.clockPassesOn = false;   // the clock answers FakeClockResult (nonzero) to everything
    EXPECT_TRUE(ConfirmCloseRule(state, fakePlatform, window));
    EXPECT_EQ(0, fake.verifierCalls);
    EXPECT_TRUE(state.closePermitted);
}

}  // namespace
