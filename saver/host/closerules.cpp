#include "closerules.h"

uint32_t MouseTravel(RulePoint from, RulePoint to)
{
    uint32_t dx = (uint32_t)to.x - (uint32_t)from.x;
    uint32_t dy = (uint32_t)to.y - (uint32_t)from.y;
    if ((int32_t)dx < 0)
        dx = 0u - dx;
    if ((int32_t)dy < 0)
        dy = 0u - dy;
    return dx + dy;
}

static bool IsInputMessage(unsigned message)
{
    switch (message) {
    case MSG_KEYDOWN:
    case MSG_SYSKEYDOWN:
    case MSG_MOUSEMOVE:
    case MSG_LBUTTONDOWN:
    case MSG_RBUTTONDOWN:
    case MSG_MBUTTONDOWN:
        return true;
    default:
        return false;
    }
}

intptr_t SaverClassRule(SaverRuleState &state, const RulePlatform &platform, void *window,
                        unsigned message, uintptr_t wParam, intptr_t lParam)
{
    switch (message) {
    case MSG_CREATE:
        platform.detachInputMethod(platform.context, window);
        state.referencePoint = platform.cursorPosition(platform.context);
        if (!state.isPreview)
            platform.hideCursor(platform.context);
        break;
    case MSG_DESTROY:
        platform.restoreInputMethod(platform.context, window);
        platform.postQuit(platform.context);
        break;
    case MSG_SETTEXT:
        return 0;
    case MSG_PAINT:
        if (state.closePermitted)
            return platform.defaultProc(platform.context, window, message, wParam, lParam);
        if (!state.isPreview)
            platform.hideCursor(platform.context);
        break;
    case MSG_HELP:
    case MSG_CONTEXTMENU:
        // The control panel owns help in the preview frame.
        if (state.isPreview) {
            platform.forwardToParent(platform.context, window, message, lParam);
            return 1;
        }
        break;
    case MSG_SYSCOMMAND:
        if (!state.isPreview && (wParam == COMMAND_NEXTWINDOW || wParam == COMMAND_PREVWINDOW ||
                                 wParam == COMMAND_SCREENSAVE))
            return 0;
        break;
    case MSG_TIMER:
        if (state.closePermitted)
            return 0;
        platform.yield(platform.context);
        break;
    default:
        if (IsInputMessage(message) && state.closePermitted)
            return platform.defaultProc(platform.context, window, message, wParam, lParam);
        break;
    }
    return platform.passOn(platform.context, window, message, wParam, lParam);
}

intptr_t HostDefaultRule(SaverRuleState &state, const RulePlatform &platform, void *window,
                         unsigned message, uintptr_t wParam, intptr_t lParam)
{
    // In preview nothing closes the window and the cursor stays visible.
    if (state.isPreview || state.closePermitted)
        return platform.defaultProc(platform.context, window, message, wParam, lParam);

    if (message == MSG_CLOSE) {
        if (state.isWin9x && !ConfirmCloseRule(state, platform, window)) {
            state.referencePoint = platform.cursorPosition(platform.context);
            return 0;
        }
        return platform.defaultProc(platform.context, window, message, wParam, lParam);
    }
    if (message == VerifyPasswordMessage) {
        if (!state.isWin9x)
            return platform.defaultProc(platform.context, window, message, wParam, lParam);
        if (!platform.verifierLoaded(platform.context))
            return 1;
        return platform.callVerifier(platform.context, window);
    }
    // While the verifier runs no input closes the saver.
    if (state.verifying)
        return platform.defaultProc(platform.context, window, message, wParam, lParam);

    switch (message) {
    case MSG_SHOWWINDOW:
        if (wParam != 0)
            platform.hideCursor(platform.context);
        break;
    case MSG_ACTIVATEAPP:
        if (wParam == 0)
            platform.postClose(platform.context, window);
        break;
    case MSG_SETCURSOR:
        platform.hideCursor(platform.context);
        return 1;
    case MSG_KEYDOWN:
    case MSG_SYSKEYDOWN:
    case MSG_LBUTTONDOWN:
    case MSG_RBUTTONDOWN:
    case MSG_MBUTTONDOWN:
        platform.postClose(platform.context, window);
        break;
    case MSG_MOUSEMOVE: {
        // The message's own coordinates are client coordinates of a window that may have
        // moved; the cursor's screen position is what the user moved.
        RulePoint now = platform.cursorPosition(platform.context);
        if (MouseTravel(state.referencePoint, now) > state.mouseThreshold) {
            platform.postClose(platform.context, window);
            state.referencePoint = now;
        }
        break;
    }
    default:
        break;
    }
    return platform.defaultProc(platform.context, window, message, wParam, lParam);
}

bool ConfirmCloseRule(SaverRuleState &state, const RulePlatform &platform, void *window)
{
    if (state.verifying)
        return false;
    if (!platform.verifierLoaded(platform.context)) {
        state.closePermitted = true;
        return true;
    }
    uint32_t now = platform.tickCount(platform.context);
    if (state.lastVerifyTick != NEVER_VERIFIED && (uint32_t)(now - state.lastVerifyTick) < RECHECK_INTERVAL_MS)
        return false;

    state.verifying = true;
    platform.dropPendingTicks(platform.context, window);
    state.closePermitted = platform.sendVerifyRequest(platform.context, window) != 0;
    state.verifying = false;
    if (!state.closePermitted)
        platform.hideCursor(platform.context);
    state.lastVerifyTick = platform.tickCount(platform.context);
    return state.closePermitted;
}
