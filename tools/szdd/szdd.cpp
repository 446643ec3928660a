// SZDD compression with an optimal parse. Every match costs the same whatever its
// distance, so only the longest match at each position matters; a shortest-path pass
// over the positions then picks literals and match lengths for the fewest bits.
#include "szdd.h"

#include <stdlib.h>
#include <string.h>

namespace {

const unsigned char kMagic[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
// What the ring is filled with before the first byte.
const unsigned char BLANK_BYTE = 0x20;

enum {
    WINDOW_MASK = SZDD_WINDOW - 1,
    LITERAL_BITS = 9,
    MATCH_BITS = 17,
    PROGRESS_STEP = 1 << 18,
};

enum {
    LEVELS = SZDD_MAX_MATCH - SZDD_MIN_MATCH + 1,
    LEVEL_HASH_BITS = 14,
    SMALL_HASH_BITS = 10,   // for inputs that could not fill more slots than that
};

// One hash chain per match length K (3 to 18) over the last SZDD_WINDOW positions, keyed
// on the first K bytes. Whether a match of K bytes is in reach is then the walk of one
// chain, which nearly always ends at its first entry; as the answer can only turn from yes
// to no as K grows, the longest match is a binary search over K: a few probes a position,
// however repetitive the data. Positions are stored plus one, 0 meaning none.
struct MatchFinder {
    const unsigned char *data;
    size_t length;
    int hashBits;
    unsigned *head;                      // LEVELS tables of 1 << hashBits chain heads
    unsigned prev[LEVELS][SZDD_WINDOW];
    unsigned slot[SZDD_MAX_MATCH + 1];   // hash slot of each prefix length at the current position
};

// Hash slots of the prefixes of 3 up to limit bytes at pos.
void HashPrefixes(MatchFinder *finder, size_t pos, int limit)
{
    const unsigned char *p = finder->data + pos;
    unsigned x = 0;
    for (int k = 0; k < limit; k++) {
        x = (x + p[k] + 1) * 2654435761u;
        if (k + 1 >= SZDD_MIN_MATCH)
            finder->slot[k + 1] = (x ^ (x >> 15)) >> (32 - finder->hashBits);
    }
}

void Insert(MatchFinder *finder, size_t pos, int limit)
{
    for (int len = SZDD_MIN_MATCH; len <= limit; len++) {
        int level = len - SZDD_MIN_MATCH;
        unsigned *head = finder->head + ((size_t)level << finder->hashBits) + finder->slot[len];
        finder->prev[level][pos & WINDOW_MASK] = *head;
        *head = (unsigned)pos + 1;
    }
}

// The most recent source in reach whose first len bytes equal those at pos; returns how
// far it matches (at most maxLen), or 0 when there is none.
int ProbeLength(const MatchFinder *finder, size_t pos, int len, int maxLen, size_t *source)
{
    const int level = len - SZDD_MIN_MATCH;
    const unsigned char *cur = finder->data + pos;
    for (unsigned stored = finder->head[((size_t)level << finder->hashBits) + finder->slot[len]];
         stored != 0 && (size_t)(stored - 1) + SZDD_WINDOW >= pos;
         stored = finder->prev[level][(stored - 1) & WINDOW_MASK]) {
        const unsigned char *cand = finder->data + (stored - 1);
        int k = 0;
        while (k < maxLen && cand[k] == cur[k])
            k++;
        if (k >= len) {
            *source = stored - 1;
            return k;
        }
    }
    return 0;
}

// The longest match for the bytes at pos, at most maxLen long, and its distance back
// (1..SZDD_WINDOW). Sources before the data start read the expander's blanks. Returns 0
// when nothing of SZDD_MIN_MATCH bytes or more is in reach.
int LongestMatch(const MatchFinder *finder, size_t pos, int maxLen, int *distance)
{
    if (maxLen < SZDD_MIN_MATCH)
        return 0;
    const unsigned char *data = finder->data;
    const unsigned char *cur = data + pos;
    const ptrdiff_t lowest = (ptrdiff_t)pos - SZDD_WINDOW;
    int best = 0;
    ptrdiff_t bestSource = 0;

    // The blank-filled part of the window: a source wholly inside it gives the run of
    // blanks; one that starts less than a match length before the data runs into it.
    if (lowest < 0 && cur[0] == BLANK_BYTE) {
        if (lowest <= -SZDD_MAX_MATCH) {
            while (best < maxLen && cur[best] == BLANK_BYTE)
                best++;
            bestSource = -SZDD_MAX_MATCH;
        }
        ptrdiff_t first = lowest > -(SZDD_MAX_MATCH - 1) ? lowest : -(SZDD_MAX_MATCH - 1);
        for (ptrdiff_t j = first; j < 0 && best < maxLen; j++) {
            int k = 0;
            while (k < maxLen && (j + k < 0 ? BLANK_BYTE : data[j + k]) == cur[k])
                k++;
            if (k > best) {
                best = k;
                bestSource = j;
            }
        }
    }

    // The largest K with a K-byte match in the chains, above what the blanks gave.
    int low = best > SZDD_MIN_MATCH - 1 ? best : SZDD_MIN_MATCH - 1;
    int high = maxLen;
    while (low < high) {
        int mid = (low + high + 1) / 2;
        size_t source = 0;
        int got = ProbeLength(finder, pos, mid, maxLen, &source);
        if (got >= mid) {
            low = best = got;
            bestSource = (ptrdiff_t)source;
        } else {
            high = mid - 1;
        }
    }
    if (best < SZDD_MIN_MATCH)
        return 0;
    *distance = (int)((ptrdiff_t)pos - bestSource);
    return best;
}

// Items go out in groups of eight behind a flag byte whose bit i (from the lowest) is 1
// for a literal and 0 for a match.
struct Emitter {
    unsigned char *out;
    size_t pos;
    size_t flagPos;
    int count;
};

void OpenItem(Emitter *e, bool literal)
{
    if (e->count == 8) {
        e->flagPos = e->pos++;
        e->out[e->flagPos] = 0;
        e->count = 0;
    }
    if (literal)
        e->out[e->flagPos] |= (unsigned char)(1u << e->count);
    e->count++;
}

void PutLiteral(Emitter *e, unsigned char byte)
{
    OpenItem(e, true);
    e->out[e->pos++] = byte;
}

// The expander addresses its ring absolutely: the first byte lands at SZDD_START.
void PutMatch(Emitter *e, size_t pos, int distance, int len)
{
    OpenItem(e, false);
    unsigned ring = (unsigned)((SZDD_START + pos - (size_t)distance) & WINDOW_MASK);
    e->out[e->pos++] = (unsigned char)(ring & 0xFF);
    e->out[e->pos++] = (unsigned char)(((ring >> 4) & 0xF0) | (unsigned)(len - SZDD_MIN_MATCH));
}

void PutLength32(unsigned char *p, unsigned long value)
{
    for (int i = 0; i < 4; i++)
        p[i] = (unsigned char)((value >> (8 * i)) & 0xFF);
}

} // namespace

size_t SzddBound(size_t length)
{
    return SZDD_HEADER_SIZE + length + (length + 7) / 8;
}

int SzddCompress(const unsigned char *data, size_t length, char lastChar, unsigned char *out,
                 size_t outSize, size_t *outLength, SzddProgress progress, void *context)
{
    // The header holds the length in 32 bits.
    if ((length >> 16 >> 16) != 0 || outSize < SzddBound(length))
        return 0;
    size_t block = length < (size_t)SZDD_BLOCK ? length : (size_t)SZDD_BLOCK;
    // Zeroed by calloc: empty chains, and only the pages a small input touches are ever made.
    MatchFinder *finder = (MatchFinder *)calloc(1, sizeof(MatchFinder));
    int hashBits = length < ((size_t)1 << 16) ? SMALL_HASH_BITS : LEVEL_HASH_BITS;
    unsigned *heads = (unsigned *)calloc((size_t)LEVELS << hashBits, sizeof(unsigned));
    unsigned char *lengths = (unsigned char *)malloc(block + 1);
    unsigned short *distances = (unsigned short *)malloc((block + 1) * sizeof(unsigned short));
    unsigned long *costs = (unsigned long *)malloc((block + 1) * sizeof(unsigned long));
    int ok = finder && heads && lengths && distances && costs;
    if (ok) {
        finder->hashBits = hashBits;
        finder->head = heads;
        finder->data = data;
        finder->length = length;

        memcpy(out, kMagic, sizeof kMagic);
        out[8] = 'A';
        out[9] = (unsigned char)lastChar;
        PutLength32(out + 10, (unsigned long)length);
        Emitter emitter = {out, SZDD_HEADER_SIZE, 0, 8};
        size_t nextReport = PROGRESS_STEP;

        // Matches never cross a block end, so each block's parse is complete in itself;
        // the window reaches back across blocks as usual.
        for (size_t start = 0; start < length; start += block) {
            size_t end = length - start < block ? length : start + block;
            size_t n = end - start;
            for (size_t i = 0; i < n; i++) {
                size_t pos = start + i;
                size_t room = end - pos;
                size_t left = length - pos;
                int hashed = left < SZDD_MAX_MATCH ? (int)left : SZDD_MAX_MATCH;
                HashPrefixes(finder, pos, hashed);
                int distance = 0;
                int len = LongestMatch(finder, pos, room < SZDD_MAX_MATCH ? (int)room : SZDD_MAX_MATCH,
                                       &distance);
                lengths[i] = (unsigned char)len;
                distances[i] = (unsigned short)distance;
                Insert(finder, pos, hashed);
                if (progress && pos + 1 >= nextReport) {
                    progress(context, pos + 1, length);
                    nextReport += PROGRESS_STEP;
                }
            }
            // Fewest bits from each position to the block end; lengths[i] becomes the choice
            // (0 literal, else the match length to take).
            costs[n] = 0;
            for (size_t i = n; i-- > 0;) {
                unsigned long best = LITERAL_BITS + costs[i + 1];
                int choice = 0;
                for (int len = SZDD_MIN_MATCH; len <= lengths[i]; len++) {
                    unsigned long cost = MATCH_BITS + costs[i + len];
                    if (cost <= best) {
                        best = cost;
                        choice = len;
                    }
                }
                costs[i] = best;
                lengths[i] = (unsigned char)choice;
            }
            for (size_t i = 0; i < n;) {
                if (lengths[i] == 0) {
                    PutLiteral(&emitter, data[start + i]);
                    i++;
                } else {
                    PutMatch(&emitter, start + i, distances[i], lengths[i]);
                    i += lengths[i];
                }
            }
        }
        *outLength = emitter.pos;
        if (progress)
            progress(context, length, length);
    }
    free(costs);
    free(distances);
    free(lengths);
    free(heads);
    free(finder);
    return ok;
}

int SzddReadHeader(const unsigned char *image, size_t imageLength, unsigned long *length,
                   char *lastChar)
{
    if (imageLength < SZDD_HEADER_SIZE || memcmp(image, kMagic, sizeof kMagic) != 0 || image[8] != 'A')
        return 0;
    *lastChar = (char)image[9];
    *length = (unsigned long)image[10] | ((unsigned long)image[11] << 8) |
              ((unsigned long)image[12] << 16) | ((unsigned long)image[13] << 24);
    return 1;
}

int SzddExpand(const unsigned char *image, size_t imageLength, unsigned char *out,
               size_t outSize, size_t *outLength)
{
    unsigned long stored;
    char lastChar;
    if (!SzddReadHeader(image, imageLength, &stored, &lastChar))
        return 0;
    unsigned char ring[SZDD_WINDOW];
    memset(ring, BLANK_BYTE, sizeof ring);
    unsigned write = SZDD_START;
    size_t in = SZDD_HEADER_SIZE;
    size_t produced = 0;
    while (in < imageLength) {
        unsigned flags = image[in++];
        for (int bit = 0; bit < 8 && in < imageLength; bit++) {
            if (flags & (1u << bit)) {
                if (produced >= outSize)
                    return 0;
                out[produced++] = ring[write] = image[in++];
                write = (write + 1) & WINDOW_MASK;
                continue;
            }
            if (imageLength - in < 2) {  // a match cut off by the end: the stream ends here
                in = imageLength;
                break;
            }
            unsigned source = image[in] | ((image[in + 1] & 0xF0u) << 4);
            int len = (image[in + 1] & 0x0F) + SZDD_MIN_MATCH;
            in += 2;
            // Byte by byte, so that a source overlapping what is being written repeats it.
            for (int k = 0; k < len; k++) {
                if (produced >= outSize)
                    return 0;
                unsigned char byte = ring[(source + (unsigned)k) & WINDOW_MASK];
                out[produced++] = ring[write] = byte;
                write = (write + 1) & WINDOW_MASK;
            }
        }
    }
    *outLength = produced;
    return 1;
}
