// The script reference covers what the reader knows: every [Setup] key with its width and its
// error box, every BackColor code, every path macro, every section, the install log's keys.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "scriptrules.h"

namespace {

std::string Reference()
{
    std::ifstream file(KIT_SCRIPT_REFERENCE);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
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
