#include "szddcases.h"

#include "szdd.h"

std::string RandomBytes(size_t length, unsigned seed, int alphabet)
{
    std::string out(length, '\0');
    unsigned state = seed * 2654435761u + 12345u;
    for (size_t i = 0; i < length; i++) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        out[i] = (char)(alphabet == 256 ? (state >> 8) & 0xFF : 'a' + (state >> 8) % (unsigned)alphabet);
    }
    return out;
}

static std::string Text(size_t length)
{
    // Shift-JIS text and ASCII lines, as in scripts and read-me files.
    const std::string line =
        "\x83\x5A\x83\x62\x83\x67\x83\x41\x83\x62\x83\x76 Velmora \x8E\x9E\x8C\x76 = clock\r\n"
        "    indented line with blanks and the word screensaver\r\n";
    std::string out;
    unsigned n = 0;
    while (out.size() < length)
        out += line + std::to_string(n++) + "\r\n";
    out.resize(length);
    return out;
}

std::vector<SzddCase> SzddCases(size_t maxBytes)
{
    std::string block4096 = RandomBytes(4096, 7);
    std::string block4097 = RandomBytes(4097, 8);
    std::string mixed;
    for (unsigned part = 0; mixed.size() < (3u << 20); part++) {
        mixed += Text(50000 + part * 1000);
        mixed += RandomBytes(30000, part);
        mixed += std::string(7000 + part, (char)part);
        mixed += RandomBytes(20000, part + 100, 4);
    }
    std::vector<SzddCase> all = {
        {"empty", ""},
        {"one byte", "x"},
        {"one blank", " "},
        {"13 bytes", "0123456789abc"},
        {"blanks from the window", std::string(40, ' ') + "tail"},
        {"run longer than the window", std::string(10000, 'A')},
        {"blank run longer than the window", std::string(9000, ' ')},
        {"zeros", std::string(70000, '\0')},
        {"text", Text(64 << 10)},
        {"every byte value", [] {
             std::string s;
             for (int i = 0; i < 3000; i++)
                 s += (char)(i * 7 & 0xFF);
             return s;
         }()},
        {"repeats at the farthest distance", block4096 + block4096 + block4096},
        {"repeats just out of reach", block4097 + block4097},
        {"small alphabet", RandomBytes(100000, 3, 3)},
        {"random", RandomBytes(256 << 10, 1)},
        {"several MiB mixed", mixed},
    };
    std::vector<SzddCase> chosen;
    for (const SzddCase &c : all)
        if (c.data.size() <= maxBytes)
            chosen.push_back(c);
    return chosen;
}

std::string Compressed(const std::string &data, char lastChar)
{
    std::string image(SzddBound(data.size()), '\0');
    size_t length = 0;
    if (!SzddCompress((const unsigned char *)data.data(), data.size(), lastChar,
                      (unsigned char *)&image[0], image.size(), &length, nullptr, nullptr))
        return std::string();
    image.resize(length);
    return image;
}
