// What a user copies off the floppy images is what SETUP installs from: each '_' file of
// each disk, expanded by the platform's LZ32 as SETUP expands it (one stored as it is passes
// through), is the package's file of that name byte for byte, and every package file is on
// the disks once.
// The disks' files and the package are left by the medium_images test.
#include <windows.h>

#include <lzexpand.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "testsupport.h"

namespace {

// Paths of the files below folder + "\\" + prefix, relative to folder.
void ListFiles(const std::string &folder, const std::string &prefix, std::vector<std::string> *files)
{
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\" + prefix + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (name != "." && name != "..")
                ListFiles(folder, prefix + name + "\\", files);
        } else {
            files->push_back(prefix + name);
        }
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

// Expands source as SETUP does: the source opened for reading, the destination created,
// LZCopy, both closed. *name gets the file's name from its header.
bool Expand(const std::string &source, const std::string &dest, std::string *bytes, std::string *name)
{
    char expanded[MAX_PATH] = "";
    if (GetExpandedNameA((LPSTR)source.c_str(), expanded) != 1)
        return false;
    *name = expanded;
    *name = name->substr(name->find_last_of('\\') + 1);
    return ExpandLikeSetup(source, dest) > 0 && ReadWholeFile(dest, bytes);
}

// The package file a file stored under its '_' name stands for: the script names it, here
// the one name that differs only in its last character.
std::string StoredName(const std::vector<std::string> &packageFiles, const std::string &file)
{
    for (const std::string &p : packageFiles)
        if (p.size() == file.size() && lstrcmpiA(p.substr(0, p.size() - 1).c_str(),
                                                 file.substr(0, file.size() - 1).c_str()) == 0)
            return p.substr(p.find_last_of('\\') + 1);
    return file;
}

TEST(FloppyInstall, TheDisksHoldThePackage)
{
    const std::string images = EnvText("KIT_MEDIUM_IMAGES");
    ASSERT_FALSE(images.empty());
    const std::string package = WinePath(images + "/pkg");
    std::vector<std::string> packageFiles;
    ListFiles(package, "", &packageFiles);
    ASSERT_EQ(8u, packageFiles.size());

    std::map<std::string, int> found;   // package file: how often a disk holds it
    int disks = 0;
    for (;;) {
        const std::string disk = WinePath(images + "/read/DISK" + std::to_string(disks + 1));
        std::vector<std::string> files;
        ListFiles(disk, "", &files);
        if (files.empty())
            break;
        disks++;
        for (const std::string &file : files) {
            std::string bytes, name = file, original;
            if (file == "SETUP.exe")
                continue;   // the builder's own addition, not a package file
            if (file.back() == '_') {
                ASSERT_TRUE(Expand(disk + "\\" + file, SuiteFolder() + "\\expanded.tmp", &bytes, &name))
                    << Utf8(file);
                if (name == file.substr(file.find_last_of('\\') + 1))
                    name = StoredName(packageFiles, file);
                name = file.substr(0, file.find_last_of('\\') + 1) + name;
            } else {
                EXPECT_TRUE(ReadWholeFile(disk + "\\" + file, &bytes)) << Utf8(file);
            }
            EXPECT_TRUE(ReadWholeFile(package + "\\" + name, &original)) << Utf8(file) << " gives " << Utf8(name);
            EXPECT_TRUE(bytes == original) << "DISK" << disks << "\\" << Utf8(file) << ": " << bytes.size()
                                           << " bytes, the package's " << original.size();
            found[name]++;
        }
    }
    EXPECT_EQ(2, disks);
    for (const std::string &file : packageFiles)
        EXPECT_EQ(1, found[file]) << Utf8(file);
    EXPECT_EQ(packageFiles.size(), found.size());
}

}  // namespace
