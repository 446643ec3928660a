// When the saver window ends: the decisions of SaverClassProc, HostDefaultProc and
// ConfirmClose. No windows.h here: the rules reach the window system only through the
// RulePlatform table they are handed, which the program fills over the platform and the
// native tests and fuzzer with a recording fake.
#ifndef CLOSERULES_H
#define CLOSERULES_H

#include <stdint.h>

// The messages the rules look at, with the platform's numbers.
enum RuleMessage : unsigned {
    MSG_CREATE = 0x0001,
    MSG_DESTROY = 0x0002,
    MSG_SETTEXT = 0x000C,
    MSG_PAINT = 0x000F,
    MSG_CLOSE = 0x0010,
    MSG_SHOWWINDOW = 0x0018,
    MSG_ACTIVATEAPP = 0x001C,
    MSG_SETCURSOR = 0x0020,
    MSG_HELP = 0x0053,
    MSG_CONTEXTMENU = 0x007B,
    MSG_KEYDOWN = 0x0100,
    MSG_SYSKEYDOWN = 0x0104,
    MSG_SYSCOMMAND = 0x0112,
    MSG_TIMER = 0x0113,
    MSG_MOUSEMOVE = 0x0200,
    MSG_LBUTTONDOWN = 0x0201,
    MSG_RBUTTONDOWN = 0x0204,
    MSG_MBUTTONDOWN = 0x0207
};

// The system commands a full-screen saver refuses: task switching and starting a screensaver.
enum RuleCommand : uintptr_t {
    COMMAND_NEXTWINDOW = 0xF040,
    COMMAND_PREVWINDOW = 0xF050,
    COMMAND_SCREENSAVE = 0xF140
};

// Sent to the saver window to run the password check; nonzero lets the user leave.
enum { VerifyPasswordMessage = 0x8000 };

// A close request less than this long after the previous check is refused without asking.
enum { RECHECK_INTERVAL_MS = 200 };

// lastVerifyTick before the first check; a check that ends at this tick counts as none.
const uint32_t NEVER_VERIFIED = 0xFFFFFFFF;

struct RulePoint {
    int32_t x;
    int32_t y;
};

// The parts of the host's record that the rules read and write.
struct SaverRuleState {
    bool isPreview = false;
    bool isWin9x = false;
    bool closePermitted = false;
    bool verifying = false;
    uint32_t mouseThreshold = 4;
    uint32_t lastVerifyTick = NEVER_VERIFIED;
    RulePoint referencePoint = {0, 0};
};

// The platform, as the rules see it. Every function gets context back, as the table's filler
// gave it; window handles travel as opaque pointers, parameters and results at the
// platform's width.
struct RulePlatform {
    void *context;
    intptr_t (*defaultProc)(void *context, void *window, unsigned message, uintptr_t wParam,
                            intptr_t lParam);
    // The clock's SaverWindowProc.
    intptr_t (*passOn)(void *context, void *window, unsigned message, uintptr_t wParam,
                       intptr_t lParam);
    void (*postClose)(void *context, void *window);
    void (*hideCursor)(void *context);
    RulePoint (*cursorPosition)(void *context);
    uint32_t (*tickCount)(void *context);
    // Drops at most two pending timer messages of the window.
    void (*dropPendingTicks)(void *context, void *window);
    // Sends VerifyPasswordMessage through the window's whole procedure chain.
    intptr_t (*sendVerifyRequest)(void *context, void *window);
    bool (*verifierLoaded)(void *context);
    intptr_t (*callVerifier)(void *context, void *window);
    // Gives up the rest of the time slice.
    void (*yield)(void *context);
    void (*detachInputMethod)(void *context, void *window);
    void (*restoreInputMethod)(void *context, void *window);
    void (*postQuit)(void *context);
    // Posts a help or context-menu request to the window's parent, if it has one that is a window.
    void (*forwardToParent)(void *context, void *window, unsigned message, intptr_t lParam);
};

intptr_t SaverClassRule(SaverRuleState &state, const RulePlatform &platform, void *window,
                        unsigned message, uintptr_t wParam, intptr_t lParam);
intptr_t HostDefaultRule(SaverRuleState &state, const RulePlatform &platform, void *window,
                         unsigned message, uintptr_t wParam, intptr_t lParam);
bool ConfirmCloseRule(SaverRuleState &state, const RulePlatform &platform, void *window);

// |dx| + |dy| between two points, in unsigned 32-bit arithmetic.
uint32_t MouseTravel(RulePoint from, RulePoint to);

#endif
