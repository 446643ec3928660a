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

intptr_t SaverClassRule(SaverRuleState &state, void *window, unsigned message, uintptr_t wParam,
                        intptr_t lParam)
{
    switch (message) {
    case MSG_CREATE:
        PlatformDetachInputMethod(window);
        state.referencePoint = PlatformCursorPosition();
        if (!state.isPreview)
            PlatformHideCursor();
        break;
    case MSG_DESTROY:
        PlatformRestoreInputMethod(window);
        PlatformPostQuit();
        break;
    case MSG_SETTEXT:
        return 0;
    case MSG_PAINT:
        if (state.closePermitted)
            return PlatformDefaultProc(window, message, wParam, lParam);
        if (!state.isPreview)
            PlatformHideCursor();
        break;
    case MSG_HELP:
    case MSG_CONTEXTMENU:
        // The control panel owns help in the preview frame.
        if (state.isPreview) {
            PlatformForwardToParent(window, message, lParam);
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
        PlatformYield();
        break;
    default:
        if (IsInputMessage(message) && state.closePermitted)
            return PlatformDefaultProc(window, message, wParam, lParam);
        break;
    }
    return PlatformPassOn(window, message, wParam, lParam);
}

intptr_t HostDefaultRule(SaverRuleState &state, void *window, unsigned message, uintptr_t wParam,
                         intptr_t lParam)
{
    // In preview nothing closes the window and the cursor stays visible.
    if (state.isPreview || state.closePermitted)
        return PlatformDefaultProc(window, message, wParam, lParam);

    if (message == MSG_CLOSE) {
        if (state.isWin9x && !ConfirmCloseRule(state, window)) {
            state.referencePoint = PlatformCursorPosition();
            return 0;
        }
        return PlatformDefaultProc(window, message, wParam, lParam);
    }
    if (message == VerifyPasswordMessage) {
        if (!state.isWin9x)
            return PlatformDefaultProc(window, message, wParam, lParam);
        return PlatformVerifierLoaded() ? PlatformCallVerifier(window) : 1;
    }
    // While the verifier runs no input closes the saver.
    if (state.verifying)
        return PlatformDefaultProc(window, message, wParam, lParam);

    switch (message) {
    case MSG_SHOWWINDOW:
        if (wParam != 0)
            PlatformHideCursor();
        break;
    case MSG_ACTIVATEAPP:
        if (wParam == 0)
            PlatformPostClose(window);
        break;
    case MSG_SETCURSOR:
        PlatformHideCursor();
        return 1;
    case MSG_KEYDOWN:
    case MSG_SYSKEYDOWN:
    case MSG_LBUTTONDOWN:
    case MSG_RBUTTONDOWN:
    case MSG_MBUTTONDOWN:
        PlatformPostClose(window);
        break;
    case MSG_MOUSEMOVE: {
        // The message's own coordinates are client coordinates of a window that may have
        // moved; the cursor's screen position is what the user moved.
        RulePoint now = PlatformCursorPosition();
        if (MouseTravel(state.referencePoint, now) > state.mouseThreshold) {
            PlatformPostClose(window);
            state.referencePoint = now;
        }
        break;
    }
    default:
        break;
    }
    return PlatformDefaultProc(window, message, wParam, lParam);
}

bool ConfirmCloseRule(SaverRuleState &state, void *window)
{
    if (state.verifying)
        return false;
    if (!PlatformVerifierLoaded()) {
        state.closePermitted = true;
        return true;
    }
    uint32_t now = PlatformTickCount();
    if (state.lastVerifyTick != 0xFFFFFFFF && (uint32_t)(now - state.lastVerifyTick) < RecheckIntervalMs)
        return false;

    state.verifying = true;
    PlatformDropPendingTicks(window);
    state.closePermitted = PlatformSendVerifyRequest(window) != 0;
    state.verifying = false;
    if (!state.closePermitted)
        PlatformHideCursor();
    state.lastVerifyTick = PlatformTickCount();
    return state.closePermitted;
}
