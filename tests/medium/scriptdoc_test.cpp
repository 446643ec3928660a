// The script reference covers what the reader knows: every [Setup] key with its width and its
// error box, every BackColor code, every path macro, every section, the install log's keys.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "scriptrules.h"

namespace {

std::string Reference()
{
    std::ifstream file(KIT_SCRIPT_REFERENCE);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The key table is the reader's own list: the keys it asks for, in its order, with its sizes.
struct Asked {
    std::vector<std::string> keys;
    std::vector<size_t> sizes;
};

size_t AnswerKey(void *context, const char *key, const char *, char *value, size_t size)
{
    Asked *asked = (Asked *)context;
    asked->keys.push_back(key);
    asked->sizes.push_back(size);
    std::string k = key;
    const char *answer = k == "ShortCutDir" ? "2" : k == "Uninstall" || k == "ShortCutFldOpn" ? "1" : "x";
    snprintf(value, size, "%s", answer);
    return strlen(value);
}

size_t AnswerSection(void *, const char *section, char *data, size_t size)
{
    const char lines[] = "1=$App:a\0";
    if (std::string(section) == "DISK2" || size < sizeof lines)
        return 0;
    memcpy(data, lines, sizeof lines);
    return sizeof lines - 1;
}

TEST(ScriptReference, TheKeyTableIsWhatTheReaderReads)
{
    Asked asked;
    ScriptSource source = {&asked, AnswerKey, AnswerSection};
    static SetupScript script;
    char error[SCRIPT_ERROR_BYTES];
    ASSERT_TRUE(CheckSetupScript(&source, "", &script, error, sizeof error)) << error;
    ASSERT_EQ((size_t)SETUP_KEY_COUNT, asked.keys.size());
    for (int k = 0; k < SETUP_KEY_COUNT; k++) {
        EXPECT_EQ(kSetupKeys[k].name, asked.keys[k]);
        EXPECT_EQ(kSetupKeys[k].size, asked.sizes[k]) << kSetupKeys[k].name;
    }
}

TEST(ScriptReference, NamesEveryKeyWithItsWidthAndError)
{
    const std::string doc = Reference();
    ASSERT_FALSE(doc.empty()) << KIT_SCRIPT_REFERENCE;
    for (const SetupKeyInfo &key : kSetupKeys) {
        SCOPED_TRACE(key.name);
        std::string row = "| `" + std::string(key.name) + "` | " + std::to_string(key.size - 1) + " |";
        EXPECT_NE(std::string::npos, doc.find(row)) << row;
        EXPECT_NE(std::string::npos, doc.find("| " + std::string(key.name) + " Error |"));
    }
}

TEST(ScriptReference, NamesEveryCodeMacroAndSection)
{
    const std::string doc = Reference();
    std::vector<std::string> wanted;
    for (const char *code : kBackColorCodes)
        wanted.push_back("| `" + std::string(code) + "` |");
    for (const char *macro : kPathMacros)
        wanted.push_back("| `" + std::string(macro) + "` |");
    for (const char *text : {"`[Setup]`", "`[README]`", "`[DISK1]`", "`[DISK10]`", "| `[Install]` | `ShortCutPath` |",
                             "| `[CreatedDir]` | `Dir0`", "| `[CreatedScDir]` | `Dir0`", "`Readme Error`",
                             "`DISK1 Error`", "`DISK2 Error`", "`0` the desktop", "`2` the Programs menu",
                             "`7` the Startup folder", "```ini\n"})
        wanted.push_back(text);
    for (const std::string &text : wanted)
        EXPECT_NE(std::string::npos, doc.find(text)) << text;
}

}  // namespace
