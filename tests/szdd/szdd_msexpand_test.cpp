// Debian's msexpand (package mscompress), an expander written apart from ours, expands
// everything we write byte for byte.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "szddcases.h"

namespace {

bool WriteFile(const std::string &path, const std::string &bytes)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

bool ReadFile(const std::string &path, std::string *bytes)
{
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    bytes->clear();
    char buf[65536];
    size_t got;
    while ((got = fread(buf, 1, sizeof buf, f)) > 0)
        bytes->append(buf, got);
    fclose(f);
    return true;
}

class Msexpand : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/szdd-msexpand-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(pattern));
        dir_ = pattern;
    }
    void TearDown() override
    {
        unlink((dir_ + "/in.tx_").c_str());
        unlink((dir_ + "/out.txt").c_str());
        rmdir(dir_.c_str());
    }
    std::string dir_;
};

TEST_F(Msexpand, ExpandsEveryCaseByteForByte)
{
    ASSERT_EQ(0, system("command -v msexpand >/dev/null")) << "msexpand is not installed (package mscompress)";
    for (const SzddCase &c : SzddCases(8u << 20)) {
        std::string in = dir_ + "/in.tx_", out = dir_ + "/out.txt";
        ASSERT_TRUE(WriteFile(in, Compressed(c.data)));
        std::string command = "msexpand < '" + in + "' > '" + out + "'";
        EXPECT_EQ(0, system(command.c_str())) << c.name;
        std::string back;
        ASSERT_TRUE(ReadFile(out, &back)) << c.name;
        EXPECT_TRUE(back == c.data) << c.name << ": msexpand gave " << back.size() << " bytes, expected "
                                    << c.data.size();
    }
}

}  // namespace
