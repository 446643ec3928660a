// The compressor and our own expander, natively under the sanitizers.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "szdd.h"
#include "szddcases.h"

namespace {

std::string Expanded(const std::string &image, bool *ok, size_t room)
{
    std::string out(room, '\0');
    size_t length = 0;
    *ok = SzddExpand((const unsigned char *)image.data(), image.size(), (unsigned char *)&out[0],
                     out.size(), &length) != 0;
    out.resize(*ok ? length : 0);
    return out;
}

// The fewest bits any parse can have, found the slow way: every distance for every position.
unsigned long BruteForceBits(const std::string &data)
{
    const size_t n = data.size();
    std::string ext = std::string(SZDD_WINDOW, ' ') + data;
    std::vector<int> longest(n, 0);
    for (size_t i = 0; i < n; i++) {
        for (size_t d = 1; d <= SZDD_WINDOW; d++) {
            size_t k = 0;
            while (k < SZDD_MAX_MATCH && i + k < n && ext[SZDD_WINDOW + i + k - d] == ext[SZDD_WINDOW + i + k])
                k++;
            if ((int)k > longest[i])
                longest[i] = (int)k;
        }
    }
    std::vector<unsigned long> cost(n + 1, 0);
    for (size_t i = n; i-- > 0;) {
        cost[i] = 9 + cost[i + 1];
        for (int len = SZDD_MIN_MATCH; len <= longest[i]; len++)
            cost[i] = std::min(cost[i], 17 + cost[i + len]);
    }
    return cost[0];
}

TEST(Szdd, EveryCaseExpandsToItselfWithItsHeader)
{
    for (const SzddCase &c : SzddCases(8u << 20)) {
        std::string image = Compressed(c.data, 'r');
        ASSERT_GE(image.size(), (size_t)SZDD_HEADER_SIZE) << c.name;
        EXPECT_LE(image.size(), SzddBound(c.data.size())) << c.name;
        EXPECT_EQ(0, memcmp(image.data(), "SZDD\x88\xF0\x27\x33" "A", 9)) << c.name;
        unsigned long stored = 0;
        char lastChar = 0;
        ASSERT_TRUE(SzddReadHeader((const unsigned char *)image.data(), image.size(), &stored, &lastChar));
        EXPECT_EQ(c.data.size(), stored) << c.name;
        EXPECT_EQ('r', lastChar) << c.name;
        bool ok = false;
        std::string back = Expanded(image, &ok, c.data.size());
        EXPECT_TRUE(ok) << c.name;
        EXPECT_TRUE(back == c.data) << c.name << ": expanded " << back.size() << " bytes, expected "
                                    << c.data.size();
    }
}

TEST(Szdd, ParseHasTheFewestBitsTheFormatAllows)
{
    struct Case {
        const char *name;
        std::string data;
    };
    const Case cases[] = {
        {"three letters", RandomBytes(1500, 1, 3)},
        {"two letters", RandomBytes(1200, 2, 2)},
        {"eight letters", RandomBytes(2000, 3, 8)},
        {"text with blanks", std::string(30, ' ') + "a  b   c    d" + std::string(25, ' ') + "end"},
        {"blanks then letters", std::string(5, ' ') + RandomBytes(600, 4, 2)},
        {"letters past the window", RandomBytes(6000, 5, 16)},
        {"random", RandomBytes(800, 6)},
    };
    for (const Case &c : cases) {
        std::string image = Compressed(c.data);
        unsigned long bits = BruteForceBits(c.data);
        EXPECT_EQ(SZDD_HEADER_SIZE + (bits + 7) / 8, image.size()) << c.name;
    }
}

TEST(Szdd, KnownSizes)
{
    struct Case {
        const char *name;
        std::string data;
        size_t imageSize;
    };
    const Case cases[] = {
        {"empty: the header alone", "", 14},
        {"one byte: flag and literal", "x", 16},
        {"three distinct bytes stay literals", "abc", 18},
        {"18 blanks: one match into the window", std::string(18, ' '), 17},
        {"36 blanks: two matches", std::string(36, ' '), 19},
        {"a run: one literal, then matches overlapping it", std::string(1 + 18 * 7, 'q'), 14 + 1 + 1 + 7 * 2},
        {"eight literals fill one flag byte", "abcdefgh", 14 + 1 + 8},
        {"nine literals need a second", "abcdefghi", 14 + 2 + 9},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.imageSize, Compressed(c.data).size()) << c.name;
}

TEST(Szdd, CompressRefusesTooSmallOutput)
{
    unsigned char out[64];
    size_t length = 0;
    const unsigned char data[20] = {0};
    EXPECT_EQ(0, SzddCompress(data, sizeof data, 'x', out, SzddBound(sizeof data) - 1, &length, nullptr, nullptr));
    EXPECT_EQ(1, SzddCompress(data, sizeof data, 'x', out, sizeof out, &length, nullptr, nullptr));
}

TEST(Szdd, ProgressReachesTheWholeLength)
{
    std::string data = RandomBytes(600 << 10, 9, 5);
    std::string image(SzddBound(data.size()), '\0');
    size_t length = 0;
    struct Seen {
        size_t last = 0;
        size_t total = 0;
        int calls = 0;
        bool ascending = true;
    } seen;
    auto report = [](void *context, size_t done, size_t total) {
        Seen *s = (Seen *)context;
        s->ascending = s->ascending && done >= s->last;
        s->last = done;
        s->total = total;
        s->calls++;
    };
    ASSERT_EQ(1, SzddCompress((const unsigned char *)data.data(), data.size(), 'x', (unsigned char *)&image[0],
                              image.size(), &length, report, &seen));
    EXPECT_GT(seen.calls, 2);
    EXPECT_TRUE(seen.ascending);
    EXPECT_EQ(data.size(), seen.last);
    EXPECT_EQ(data.size(), seen.total);
}

TEST(Szdd, ExpanderEdges)
{
    const std::string image = Compressed("hello hello hello hello");
    struct Case {
        const char *name;
        std::string image;
        size_t room;
        bool ok;
        std::string expect;
    };
    std::string badMagic = image;
    badMagic[3] = 'X';
    std::string badMode = image;
    badMode[8] = 'B';
    // A match item cut after its first byte ends the stream there, as LZ32 does.
    std::string cut = Compressed("abcabcabc");  // flag, a b c, match
    cut.resize(cut.size() - 1);
    const Case cases[] = {
        {"whole", image, 100, true, "hello hello hello hello"},
        {"bad magic", badMagic, 100, false, ""},
        {"bad mode", badMode, 100, false, ""},
        {"short header", image.substr(0, 13), 100, false, ""},
        {"header only", image.substr(0, 14), 100, true, ""},
        {"output too small", image, 10, false, ""},
        {"match cut off", cut, 100, true, "abc"},
    };
    for (const Case &c : cases) {
        bool ok = false;
        std::string out = Expanded(c.image, &ok, c.room);
        EXPECT_EQ(c.ok, ok) << c.name;
        EXPECT_EQ(c.expect, out) << c.name;
    }
}

}  // namespace
