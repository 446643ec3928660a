#include "fakeplatform.h"

FakePlatform fake;

void ResetFake(SaverRuleState *state)
{
    fake = FakePlatform();
    fake.state = state;
}

intptr_t PlatformDefaultProc(void *, unsigned message, uintptr_t, intptr_t)
{
    fake.defaultMessages.push_back(message);
    return FakeDefaultResult;
}

intptr_t PlatformPassOn(void *window, unsigned message, uintptr_t wParam, intptr_t lParam)
{
    fake.clockMessages.push_back(message);
    if (fake.clockPassesOn)
        return HostDefaultRule(*fake.state, window, message, wParam, lParam);
    return FakeClockResult;
}

void PlatformPostClose(void *) { fake.closesPosted++; }
void PlatformHideCursor() { fake.cursorHidden++; }
RulePoint PlatformCursorPosition() { return fake.cursor; }
uint32_t PlatformTickCount() { return fake.tick; }
void PlatformDropPendingTicks(void *) { fake.tickDrops++; }

intptr_t PlatformSendVerifyRequest(void *window)
{
    return SaverClassRule(*fake.state, window, VerifyPasswordMessage, 0, 0);
}

bool PlatformVerifierLoaded() { return fake.verifierLoaded; }

intptr_t PlatformCallVerifier(void *)
{
    fake.verifierCalls++;
    return fake.verifier ? fake.verifier() : 0;
}

void PlatformYield() { fake.yields++; }
void PlatformDetachInputMethod(void *) { fake.detaches++; }
void PlatformRestoreInputMethod(void *) { fake.restores++; }
void PlatformPostQuit() { fake.quits++; }
void PlatformForwardToParent(void *, unsigned message, intptr_t) { fake.forwarded.push_back(message); }
