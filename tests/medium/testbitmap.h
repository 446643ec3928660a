// A small valid picture for the medium tests: the file and info headers of a 2x2 24-bit
// bitmap, then its pixels.
#ifndef TESTBITMAP_H
#define TESTBITMAP_H

#include <string>

inline std::string SmallBitmapBytes()
{
    std::string b(14 + 40 + 16, '\0');
    auto put32 = [&](size_t at, unsigned v) {
        for (int i = 0; i < 4; i++)
            b[at + i] = (char)((v >> (8 * i)) & 0xFF);
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, (unsigned)b.size());
    put32(10, 54);
    put32(14, 40);
    put32(18, 2);
    put32(22, 2);
    b[26] = 1;
    b[28] = 24;
    return b;
}

#endif
