// The platform's LZ32 expands what we write, called exactly as SETUP calls it: the source
// opened under its '_' name, the destination created, LZCopy, both closed.
#include <windows.h>

#include <lzexpand.h>

#include <gtest/gtest.h>

#include <string>

#include "szddcases.h"
#include "testsupport.h"

namespace {

TEST(Lz32, ExpandsEveryCaseByteForByte)
{
    const std::string folder = SuiteFolder();
    for (const SzddCase &c : SzddCases(4u << 20)) {
        const std::string source = folder + "\\case.tx_";
        const std::string dest = folder + "\\case.txt";
        ASSERT_TRUE(WriteWholeFile(source, Compressed(c.data, 't'))) << c.name;
        LONG copied = ExpandLikeSetup(source, dest);
        std::string back;
        ASSERT_TRUE(ReadWholeFile(dest, &back)) << c.name;
        // An empty file expands to nothing, which LZCopy reports as 0 (SETUP's failed copy).
        EXPECT_EQ((LONG)c.data.size(), copied) << c.name;
        EXPECT_TRUE(back == c.data) << c.name << ": LZ32 gave " << back.size() << " bytes, expected "
                                    << c.data.size();
    }
}

TEST(Lz32, ExpandedNameRestoresTheReplacedCharacter)
{
    // mscompress writes 0 there, which makes the platform drop the name's last letter.
    const std::string source = SuiteFolder() + "\\Tessary.sc_";
    ASSERT_TRUE(WriteWholeFile(source, Compressed("screensaver", 'r')));
    char expanded[MAX_PATH] = {0};
    ASSERT_EQ(1, GetExpandedNameA((LPSTR)source.c_str(), expanded));
    std::string name = expanded;
    name = name.substr(name.find_last_of('\\') + 1);
    EXPECT_EQ("Tessary.scr", name);
}

}  // namespace
