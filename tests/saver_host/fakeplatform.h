// A recording stand-in for the window system under the close rules: the tests set the cursor,
// the tick count and the verifier's answer, and read back what the rules asked for.
#ifndef FAKEPLATFORM_H
#define FAKEPLATFORM_H

#include <stdint.h>

#include <functional>
#include <vector>

#include "closerules.h"

// What DefWindowProcA answers in the fake; distinct from every result the rules make up.
enum { FakeDefaultResult = 0x5151, FakeClockResult = 0x7272 };

struct FakePlatform {
    SaverRuleState *state = nullptr;
    RulePoint cursor = {0, 0};
    uint32_t tick = 0;
    bool verifierLoaded = false;
    // Called as the verifier; its result is the verifier's answer.
    std::function<intptr_t()> verifier;
    // When set, the clock handles nothing and passes every message to HostDefaultRule, as the
    // clock does for everything but creation, timer and destruction.
    bool clockPassesOn = true;

    std::vector<unsigned> defaultMessages;
    std::vector<unsigned> clockMessages;
    int closesPosted = 0;
    int cursorHidden = 0;
    int tickDrops = 0;
    int verifierCalls = 0;
    int yields = 0;
    int detaches = 0;
    int restores = 0;
    int quits = 0;
    std::vector<unsigned> forwarded;
};

extern FakePlatform fake;
// The rules' platform table over fake.
extern const RulePlatform fakePlatform;

// Starts a fresh fake over a fresh state.
void ResetFake(SaverRuleState *state);

#endif
