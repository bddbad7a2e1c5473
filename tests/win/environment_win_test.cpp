#include "core/environment_win.h"

#include <gtest/gtest.h>

#include <string>

#include "core/encoding_win.h"
#include "core/globals.h"
#include "core/paths.h"
#include "test_support_win.h"

namespace jumpnest {
namespace {

using test::RemoveTree;
using test::TempFolder;
using test::WriteFileBytes;

TEST(FileSystem, FilesAndFoldersAreToldApart) {
    TempFolder temp;
    const std::string file = temp.path() + "note.txt";
    ASSERT_TRUE(WriteFileBytes(file, "x"));

    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FileExists(temp.path()));
    EXPECT_TRUE(DirExists(temp.path()));
    EXPECT_FALSE(DirExists(file));
    EXPECT_FALSE(FileExists(temp.path() + "missing.txt"));
    EXPECT_FALSE(DirExists(temp.path() + "missing"));
    EXPECT_FALSE(FileExists(""));
}

TEST(FileSystem, CreatePathMakesEveryMissingFolder) {
    TempFolder temp;
    // Non-ASCII names and a path far longer than the old fixed buffers of
    // 255 characters for names and folders allowed in ANSI code pages.
    const std::string deep = temp.path() + "Kelmarsh\\Übersicht ✓ 日本\\" + std::string(60, 'a') +
                             "\\" + std::string(60, 'b') + "\\";
    ASSERT_FALSE(DirExists(deep));
    EXPECT_TRUE(CreatePath(deep));
    EXPECT_TRUE(DirExists(deep));
    EXPECT_TRUE(DirExists(temp.path() + "Kelmarsh\\Übersicht ✓ 日本"));
    // Again, and without the trailing backslash: nothing to do, still true.
    EXPECT_TRUE(CreatePath(deep));
    EXPECT_TRUE(CreatePath(deep.substr(0, deep.size() - 1)));
}

TEST(FileSystem, CreatePathFailsWhereAFileStands) {
    TempFolder temp;
    ASSERT_TRUE(WriteFileBytes(temp.path() + "blocked", "not a folder"));
    EXPECT_FALSE(CreatePath(temp.path() + "blocked\\inner\\"));
    EXPECT_TRUE(FileExists(temp.path() + "blocked"));
}

TEST(Shell, SpecialFoldersInUseExist) {
    for (int number : {kFolderPersonal, kFolderStartup, kFolderCommonAppData}) {
        const std::string folder = GetSpecialFolder(number);
        EXPECT_FALSE(folder.empty()) << number;
        EXPECT_NE(folder.back(), '\\') << folder;
    }
    EXPECT_TRUE(DirExists(GetSpecialFolder(kFolderCommonAppData)));
    EXPECT_TRUE(DirExists(GetSpecialFolder(kFolderPersonal)));
}

TEST(Shell, UnknownFolderNumberGivesEmptyText) {
    EXPECT_EQ(GetSpecialFolder(0x7F), "");
}

TEST(Process, KnowsItsFileUserAndSystem) {
    EXPECT_EQ(ExecutableName(), "jumpnest_win_tests");
    EXPECT_EQ(GetFileName(ExecutablePath(), true), "jumpnest_win_tests.exe");

    wchar_t expected[256] = {};
    if (::GetEnvironmentVariableW(L"USERNAME", expected, 256) > 0) {
        EXPECT_EQ(CurrentUserName(), Narrow(expected));
    }
    EXPECT_FALSE(CurrentUserName().empty());
    EXPECT_EQ(CurrentUserSid().rfind("S-1-5-", 0), 0u) << CurrentUserSid();

    const OsVersion os = TrueOsVersion();
    EXPECT_TRUE(os.isNt);
    EXPECT_TRUE(IsWinNT());
    EXPECT_GE(os.major, 6u);
}

class ProbeTest : public testing::Test {
protected:
    void SetUp() override {
        dataFolder_ =
            AddBackslash(GetSpecialFolder(kFolderCommonAppData)) + "Kelmarsh\\jumpnest_win_tests\\";
        RemoveTree(dataFolder_);
    }
    void TearDown() override { RemoveTree(dataFolder_); }

    std::string dataFolder_;
};

TEST_F(ProbeTest, SetsFoldersAndCreatesTheDataFolder) {
    ProbeSystem();

    EXPECT_EQ(gAppPath, GetParentFolder(ExecutablePath()));
    EXPECT_EQ(gAppPath.back(), '\\');
    wchar_t current[MAX_PATH + 1] = {};
    ::GetCurrentDirectoryW(MAX_PATH + 1, current);
    EXPECT_EQ(AddBackslash(Narrow(current)), gAppPath);

    EXPECT_EQ(gDataFolder, dataFolder_);
    EXPECT_TRUE(DirExists(gDataFolder));
    EXPECT_EQ(gPersonalFolder, GetSpecialFolder(kFolderPersonal));
    EXPECT_EQ(gUserName, CurrentUserName());
    EXPECT_GE(gWinVersion, kOldestSupportedSystem);
    EXPECT_EQ(gDesktopWnd, ::GetDesktopWindow());
}

TEST_F(ProbeTest, GoesOnWhenTheDataFolderCannotBeCreated) {
    std::string blocked = dataFolder_.substr(0, dataFolder_.size() - 1);
    ASSERT_TRUE(CreatePath(GetParentFolder(blocked)));
    ASSERT_TRUE(WriteFileBytes(blocked, "a file where the data folder belongs"));

    ProbeSystem();

    EXPECT_EQ(gDataFolder, dataFolder_);
    EXPECT_FALSE(DirExists(gDataFolder));
    EXPECT_TRUE(FileExists(blocked));
}

}  // namespace
}  // namespace jumpnest
