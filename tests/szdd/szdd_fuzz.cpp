// Any bytes: compressed, they expand to themselves within the bound; as an image, the
// expander stays within its buffers.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "szdd.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    size_t bound = SzddBound(size);
    unsigned char *image = (unsigned char *)malloc(bound);
    unsigned char *back = (unsigned char *)malloc(size + 1);
    size_t imageLength = 0, backLength = 0;
    if (!SzddCompress(data, size, 'x', image, bound, &imageLength, NULL, NULL) || imageLength > bound)
        abort();
    if (!SzddExpand(image, imageLength, back, size, &backLength) || backLength != size ||
        memcmp(back, data, size) != 0)
        abort();
    free(image);

    // The input as an image of its own, with room for a few times its size.
    size_t room = size * 4 + 16;
    unsigned char *out = (unsigned char *)malloc(room);
    size_t outLength = 0;
    if (SzddExpand(data, size, out, room, &outLength) && outLength > room)
        abort();
    free(out);
    free(back);
    return 0;
}
