// szddcompress FILE [OUT]: compresses FILE into OUT, by default FILE's name with its last
// character replaced by '_', the name the installer looks for on the medium.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "szdd.h"

static unsigned char *ReadAll(const char *path, size_t *length)
{
    FILE *f = fopen(path, "rb");
    if (!f)
        return NULL;
    size_t cap = 1 << 16, used = 0;
    unsigned char *buf = (unsigned char *)malloc(cap);
    while (buf) {
        if (used == cap) {
            unsigned char *bigger = (unsigned char *)realloc(buf, cap * 2);
            if (!bigger) {
                free(buf);
                buf = NULL;
                break;
            }
            buf = bigger;
            cap *= 2;
        }
        size_t got = fread(buf + used, 1, cap - used, f);
        used += got;
        if (got == 0)
            break;
    }
    if (buf && ferror(f)) {
        free(buf);
        buf = NULL;
    }
    fclose(f);
    *length = used;
    return buf;
}

int main(int argc, char **argv)
{
    if (argc < 2 || argc > 3 || argv[1][0] == '\0') {
        fprintf(stderr, "usage: szddcompress FILE [OUT]\n");
        return 2;
    }
    const char *in = argv[1];
    size_t nameLength = strlen(in);
    const char *given = argc == 3 ? argv[2] : in;
    char *outName = (char *)malloc(strlen(given) + 1);
    if (!outName)
        return 1;
    memcpy(outName, given, strlen(given) + 1);
    if (argc == 2)
        outName[nameLength - 1] = '_';

    size_t length = 0;
    unsigned char *data = ReadAll(in, &length);
    if (!data) {
        fprintf(stderr, "%s: cannot read\n", in);
        return 1;
    }
    size_t bound = SzddBound(length);
    unsigned char *image = (unsigned char *)malloc(bound);
    size_t imageLength = 0;
    if (!image || !SzddCompress(data, length, in[nameLength - 1], image, bound, &imageLength, NULL, NULL)) {
        fprintf(stderr, "%s: cannot compress (too large or out of memory)\n", in);
        return 1;
    }
    FILE *f = fopen(outName, "wb");
    if (!f || fwrite(image, 1, imageLength, f) != imageLength || fclose(f) != 0) {
        fprintf(stderr, "%s: cannot write\n", outName);
        return 1;
    }
    free(image);
    free(data);
    free(outName);
    return 0;
}
