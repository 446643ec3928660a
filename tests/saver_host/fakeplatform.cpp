#include "fakeplatform.h"

FakePlatform fake;

void ResetFake(SaverRuleState *state)
{
    fake = FakePlatform();
    fake.state = state;
}

namespace {

intptr_t DefaultProc(void *, void *, unsigned message, uintptr_t, intptr_t)
{
    fake.defaultMessages.push_back(message);
    return FakeDefaultResult;
}

intptr_t PassOn(void *, void *window, unsigned message, uintptr_t wParam, intptr_t lParam)
{
    fake.clockMessages.push_back(message);
    if (fake.clockPassesOn)
        return HostDefaultRule(*fake.state, fakePlatform, window, message, wParam, lParam);
    return FakeClockResult;
}

void PostClose(void *, void *) { fake.closesPosted++; }
void HideCursor(void *) { fake.cursorHidden++; }
RulePoint CursorPosition(void *) { return fake.cursor; }
uint32_t TickCount(void *) { return fake.tick; }
void DropPendingTicks(void *, void *) { fake.tickDrops++; }

intptr_t SendVerifyRequest(void *, void *window)
{
    return SaverClassRule(*fake.state, fakePlatform, window, VerifyPasswordMessage, 0, 0);
}

bool VerifierLoaded(void *) { return fake.verifierLoaded; }

intptr_t CallVerifier(void *, void *)
{
    fake.verifierCalls++;
    return fake.verifier ? fake.verifier() : 0;
}

void GiveUpTimeSlice(void *) { fake.yields++; }
void DetachInputMethod(void *, void *) { fake.detaches++; }
void RestoreInputMethod(void *, void *) { fake.restores++; }
void PostQuit(void *) { fake.quits++; }
void ForwardToParent(void *, void *, unsigned message, intptr_t) { fake.forwarded.push_back(message); }

}  // namespace

// In the order of RulePlatform's fields.
const RulePlatform fakePlatform = {nullptr, DefaultProc, PassOn, PostClose, HideCursor, CursorPosition, TickCount,
                                   DropPendingTicks, SendVerifyRequest, VerifierLoaded, CallVerifier,
                                   GiveUpTimeSlice, DetachInputMethod, RestoreInputMethod, PostQuit,
                                   ForwardToParent};
