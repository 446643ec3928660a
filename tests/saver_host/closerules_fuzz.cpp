// Any sequence of messages, cursor moves, tick steps and verifier answers through the close
// rules: a permitted close stays permitted, the preview and the NT family never ask the
// verifier, no check runs within 200 ms of the last, and no check is left half done.
// VerifyPasswordMessage itself is only ever sent by the close check, so it is not among the inputs.
#include <stdint.h>
#include <stdlib.h>

#include "closerules.h"
#include "fakeplatform.h"

namespace {

const unsigned messages[] = {MSG_CREATE, MSG_DESTROY, MSG_SETTEXT, MSG_PAINT, MSG_CLOSE, MSG_SHOWWINDOW,
                             MSG_ACTIVATEAPP, MSG_SETCURSOR, MSG_HELP, MSG_CONTEXTMENU, MSG_KEYDOWN,
                             MSG_SYSKEYDOWN, MSG_SYSCOMMAND, MSG_TIMER, MSG_MOUSEMOVE, MSG_LBUTTONDOWN,
                             MSG_RBUTTONDOWN, MSG_MBUTTONDOWN, 0x0101, 0x020A};
const size_t messageCount = sizeof messages / sizeof messages[0];
const uintptr_t parameters[] = {0, 1, 0xF040, 0xF050, 0xF140, 0xF060};

struct Reader {
    const uint8_t *data;
    size_t size;
    size_t pos;
    uint8_t Next() { return pos < size ? data[pos++] : 0; }
    uint32_t Next32()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; i++)
            v = (v << 8) | Next();
        return v;
    }
};

Reader *input;
SaverRuleState *current;
uint32_t lastCheckEnd;
bool checkedBefore;
int depth;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Reader reader = {data, size, 0};
    input = &reader;
    SaverRuleState state;
    current = &state;
    ResetFake(&state);
    uint8_t setup = reader.Next();
    state.isPreview = setup & 1;
    state.isWin9x = (setup & 2) != 0;
    fake.verifierLoaded = (setup & 4) != 0;
    fake.tick = reader.Next32();
    checkedBefore = false;
    depth = 0;
    fake.verifier = [] {
        if (current->isPreview || !current->isWin9x || !current->verifying)
            abort();
        // A check that ended at tick 0xFFFFFFFF reads as never checked.
        if (checkedBefore && lastCheckEnd != 0xFFFFFFFFu &&
            (uint32_t)(fake.tick - lastCheckEnd) < RECHECK_INTERVAL_MS)
            abort();
        // Re-entry while the verifier runs: a few messages of its own, no nested check.
        int before = fake.verifierCalls;
        if (depth++ == 0) {
            for (int i = input->Next() % 4; i > 0; i--)
                SaverClassRule(*current, fakePlatform, (void *)1, messages[input->Next() % messageCount], 0, 0);
        }
        depth--;
        if (fake.verifierCalls != before)
            abort();
        fake.tick += input->Next();
        return (intptr_t)(input->Next() & 1);
    };

    while (reader.pos < reader.size) {
        uint8_t op = reader.Next();
        bool permitted = state.closePermitted;
        int callsBefore = fake.verifierCalls;
        switch (op % 4) {
        case 0:
            fake.tick += reader.Next() * (op >> 2);
            break;
        case 1:
            fake.cursor.x += (int8_t)reader.Next();
            fake.cursor.y += (int8_t)reader.Next();
            break;
        default:
            SaverClassRule(state, fakePlatform, (void *)1, messages[reader.Next() % messageCount], parameters[reader.Next() % 6], 0);
            break;
        }
        if (fake.verifierCalls != callsBefore) {
            checkedBefore = true;
            lastCheckEnd = fake.tick;
            if (state.lastVerifyTick != fake.tick)
                abort();
        }
        if (state.verifying || (permitted && !state.closePermitted))
            abort();
        if (state.isPreview && fake.closesPosted != 0)
            abort();
    }
    return 0;
}
