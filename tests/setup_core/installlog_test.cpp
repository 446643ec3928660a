// The install log as the engine writes it and the uninstaller reads it back, over an
// in-memory profile file that cuts values and sections where the platform's profile functions
// cut them: names, key scheme, Shift-JIS folders, the lengths at the edges of the buffers.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <utility>
#include <vector>

#include "installlog.h"

namespace {

// Stands in for the platform's profile functions on one file.
struct FakeProfile {
    std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> sections;

    std::vector<std::pair<std::string, std::string>> *Find(const char *section)
    {
        for (auto &s : sections)
            if (s.first == section)
                return &s.second;
        return NULL;
    }
    // "[section]key=value;key=value;" in the order written.
    std::string Text() const
    {
        std::string text;
        for (const auto &s : sections) {
            text += "[" + s.first + "]";
            for (const auto &k : s.second)
                text += k.first + "=" + k.second + ";";
        }
        return text;
    }
};

void WriteKey(void *context, const char *section, const char *key, const char *value)
{
    FakeProfile *profile = (FakeProfile *)context;
    if (profile->Find(section) == NULL)
        profile->sections.push_back({section, {}});
    for (auto &k : *profile->Find(section)) {
        if (k.first == key) {
            k.second = value;
            return;
        }
    }
    profile->Find(section)->push_back({key, value});
}

size_t ReadKey(void *context, const char *section, const char *key, const char *def, char *value, size_t size)
{
    std::string found = def;
    if (auto *keys = ((FakeProfile *)context)->Find(section))
        for (const auto &k : *keys)
            if (k.first == key)
                found = k.second;
    size_t n = found.size() < size - 1 ? found.size() : size - 1;
    memcpy(value, found.data(), n);
    value[n] = '\0';
    return n;
}

// A section that does not fit is cut, ends in two zero bytes and counts size - 2 bytes.
size_t ReadSection(void *context, const char *section, char *data, size_t size)
{
    std::string lines;
    if (auto *keys = ((FakeProfile *)context)->Find(section))
        for (const auto &k : *keys)
            lines += k.first + "=" + k.second + std::string(1, '\0');
    if (lines.size() + 1 <= size) {
        memcpy(data, lines.data(), lines.size());
        data[lines.size()] = '\0';
        return lines.size();
    }
    memcpy(data, lines.data(), size - 2);
    data[size - 2] = data[size - 1] = '\0';
    return size - 2;
}

std::string Slots(const FolderSlot *list)
{
    std::string text;
    for (int i = 0; i < FOLDER_LIST_SLOTS && list[i][0] != '\0'; i++)
        text += std::string(list[i]) + "|";
    return text;
}

TEST(InstallLog, WrittenThenReadBack)
{
    const std::string f250 = "C:" + std::string(248, 'f'), f251 = f250 + "g", f252 = f251 + "h";
    const std::string p259 = "C:\\" + std::string(256, 'p'), p260 = p259 + "q";
    const struct {
        const char *name;
        const char *shortcut;                 // NULL: the shortcut step did not run
        std::vector<std::string> created, made;
        std::string written;                  // the file as the profile holds it
        std::string shortcutRead, createdRead, madeRead;
        bool complete;
    } cases[] = {
        {"both lists", "C:\\Menu\\Tools\\Clock", {"C:\\Prog", "C:\\Prog\\Clock"}, {"C:\\Menu\\Tools", "C:\\Menu\\Tools\\Clock"},
         "[Install]ShortCutPath=C:\\Menu\\Tools\\Clock;[CreatedDir]Dir0=C:\\Prog;Dir1=C:\\Prog\\Clock;"
         "[CreatedScDir]Dir0=C:\\Menu\\Tools;Dir1=C:\\Menu\\Tools\\Clock;",
         "C:\\Menu\\Tools\\Clock", "C:\\Prog|C:\\Prog\\Clock|", "C:\\Menu\\Tools|C:\\Menu\\Tools\\Clock|", true},
        // The trail byte 0x5C of a Shift-JIS character stays where it is.
        {"Shift-JIS folders", "C:\\\x95\x5C", {"C:\\\x95\x5C", "C:\\\x95\x5C\\\x8E\x9E"}, {},
         "[Install]ShortCutPath=C:\\\x95\x5C;[CreatedDir]Dir0=C:\\\x95\x5C;Dir1=C:\\\x95\x5C\\\x8E\x9E;",
         "C:\\\x95\x5C", "C:\\\x95\x5C|C:\\\x95\x5C\\\x8E\x9E|", "", true},
        {"no shortcut step, nothing created", NULL, {}, {}, "", "0", "", "", true},
        {"shortcut not settled", "", {}, {}, "[Install]ShortCutPath=;", "", "", "", true},
        {"the longest shortcut folder read whole", p259.c_str(), {}, {}, "[Install]ShortCutPath=" + p259 + ";", p259, "", "",
         true},
        {"one byte more could be cut", p260.c_str(), {}, {}, "[Install]ShortCutPath=" + p260 + ";", "", "", "", true},
        // Five lines of 6 bytes and the folders: 1281 bytes, which the section buffer's 1284 hold
        // with room to spare; with one more the last line might have been cut.
        {"the longest section read whole", NULL, {f250, f250, f250, f250, f251}, {},
         "[CreatedDir]Dir0=" + f250 + ";Dir1=" + f250 + ";Dir2=" + f250 + ";Dir3=" + f250 + ";Dir4=" + f251 + ";", "0",
         f250 + "|" + f250 + "|" + f250 + "|" + f250 + "|" + f251 + "|", "", true},
        {"one byte more", NULL, {f250, f250, f250, f250, f252}, {},
         "[CreatedDir]Dir0=" + f250 + ";Dir1=" + f250 + ";Dir2=" + f250 + ";Dir3=" + f250 + ";Dir4=" + f252 + ";", "0",
         f250 + "|" + f250 + "|" + f250 + "|" + f250 + "|", "", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        FakeProfile profile;
        InstallLogFile file = {&profile, WriteKey, ReadKey, ReadSection};
        static FolderSlot created[FOLDER_LIST_SLOTS], made[FOLDER_LIST_SLOTS];
        memset(created, 0, sizeof created);
        memset(made, 0, sizeof made);
        for (size_t i = 0; i < c.created.size(); i++)
            strcpy(created[i], c.created[i].c_str());
        for (size_t i = 0; i < c.made.size(); i++)
            strcpy(made[i], c.made[i].c_str());
        if (c.shortcut != NULL)
            WriteShortcutPath(&file, c.shortcut);
        WriteCreatedFolderLists(&file, created, made);
        EXPECT_EQ(c.written, profile.Text());

        static InstallLog log;
        memset(&log, 'x', sizeof log);
        EXPECT_EQ(c.complete, ReadInstallLogSections(&file, &log));
        EXPECT_EQ(c.shortcutRead, log.shortcutFolder);
        EXPECT_EQ(c.createdRead, Slots(log.createdFolders));
        EXPECT_EQ(c.madeRead, Slots(log.shortcutFolders));
    }
}

// Every slot written, in order: Dir0 to Dir127, and nothing after the first empty slot.
TEST(InstallLog, KeysCountFromZeroToTheLastSlot)
{
    static FolderSlot full[FOLDER_LIST_SLOTS], gap[FOLDER_LIST_SLOTS];
    for (int i = 0; i < FOLDER_LIST_SLOTS; i++)
        strcpy(full[i], "C:\\a");
    memset(gap, 0, sizeof gap);
    strcpy(gap[0], "C:\\a");
    strcpy(gap[2], "C:\\c");
    FakeProfile profile;
    InstallLogFile file = {&profile, WriteKey, ReadKey, ReadSection};
    WriteCreatedFolderLists(&file, full, gap);
    ASSERT_EQ(2u, profile.sections.size());
    const auto &keys = profile.sections[0].second;
    ASSERT_EQ((size_t)FOLDER_LIST_SLOTS, keys.size());
    EXPECT_EQ("Dir0", keys.front().first);
    EXPECT_EQ("Dir127", keys.back().first);
    EXPECT_EQ("[CreatedScDir]Dir0=C:\\a;", "[" + profile.sections[1].first + "]" + profile.sections[1].second[0].first +
                                               "=" + profile.sections[1].second[0].second + ";");
    EXPECT_EQ(1u, profile.sections[1].second.size());

    char key[8];
    EXPECT_TRUE(FolderLogKey(key, sizeof key, 127));
    EXPECT_STREQ("Dir127", key);
    EXPECT_FALSE(FolderLogKey(key, 6, 127));
    EXPECT_STREQ("", key);
}

TEST(InstallLog, FillFolderList)
{
    const std::string longest(MAX_PATH_BYTES - 1, 'p');
    const struct {
        std::string data;
        bool mayBeCut;
        std::string expected;   // the filled slots, each followed by '|'
        bool complete;
    } cases[] = {
        {std::string("a=C:\\A\0junk\0b=C:\\a=b\0", 21), false, "C:\\A|C:\\a=b|", false},
        {std::string("a=C:\\A\0b=C:\\A\\", 14), true, "C:\\A|", false},   // cut last line
        {"a=" + longest + std::string("\0b=p", 4) + longest, false, longest + "|", false},
        {std::string("a=1\0b=2\0c=3\0d=4\0e=5\0", 20), false, "1|2|3|4|", false},   // 4 slots
        {"", true, "", true},
    };
    for (const auto &c : cases) {
        FolderSlot list[4];
        memset(list, 'x', sizeof list);
        bool complete = FillFolderList(c.data.data(), c.data.size(), c.mayBeCut, list, 4);
        std::string filled;
        for (int i = 0; i < 4 && list[i][0] != '\0'; i++)
            filled += std::string(list[i]) + "|";
        EXPECT_EQ(c.expected, filled) << c.data;
        EXPECT_EQ(c.complete, complete) << c.data;
    }
}

}  // namespace
