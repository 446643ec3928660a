// Any stored bytes through the settings decoders: no overrun, a face name always ends in
// its field, an accepted integer re-encodes to the bytes it came from.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "settingslayout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the field size; the rest is the stored value, copied so that
    // reading past it is caught.
    size_t fieldSize = (data[0] & 1) ? 1 : 4;
    size_t length = size - 1;
    unsigned char *bytes = (unsigned char *)malloc(length ? length : 1);
    memcpy(bytes, data + 1, length);

    uint32_t value = 0;
    if (DecodeStoredInteger(bytes, length, fieldSize, &value)) {
        if (length == 0 || length > fieldSize)
            abort();
        unsigned char again[4] = {0, 0, 0, 0};
        EncodeStoredInteger(value, fieldSize, again);
        if (memcmp(again, bytes, length) != 0)
            abort();
        for (size_t i = length; i < fieldSize; i++) {
            if (again[i] != 0)
                abort();
        }
    } else if (length >= 1 && length <= fieldSize) {
        abort();
    }

    char face[FACE_NAME_BYTES];
    memset(face, 'q', sizeof face);
    bool accepted = DecodeFaceName(bytes, length, face);
    if (accepted) {
        if (memchr(face, 0, sizeof face) == NULL || length > FACE_NAME_BYTES)
            abort();
        if (strncmp(face, (const char *)bytes, strlen(face)) != 0)
            abort();
        if (StoredFaceNameLength(face) != strlen(face) + 1)
            abort();
    } else if (memchr(face, 'q', sizeof face) != face) {
        abort();  // a refused name leaves the field as it was
    }
    free(bytes);
    return 0;
}
