#include "core/paths.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace jumpnest {
namespace {

TEST(AddBackslash, AppendsOnlyWhenMissing) {
    EXPECT_EQ(AddBackslash("C:\\Tools"), "C:\\Tools\\");
    EXPECT_EQ(AddBackslash("C:\\"), "C:\\");
    EXPECT_EQ(AddBackslash(""), "\\");
    EXPECT_EQ(AddBackslash("\\\\server\\share"), "\\\\server\\share\\");
}

TEST(GetParentFolder, KeepsTheLastBackslash) {
    EXPECT_EQ(GetParentFolder("C:\\Tools\\app.exe"), "C:\\Tools\\");
    EXPECT_EQ(GetParentFolder("app.exe"), "");
    EXPECT_EQ(GetParentFolder("C:\\Tools\\"), "C:\\Tools\\");
    EXPECT_EQ(GetParentFolder("C:\\app.exe"), "C:\\");
}

struct FileNameCase {
    const char* path;
    const char* withExtension;
    const char* withoutExtension;
};

// Test names are listed through CTest, which reads a backslash as an escape.
std::string Printable(std::string text) {
    for (char& c : text) {
        if (c == '\\') c = '/';
    }
    return text;
}

std::ostream& operator<<(std::ostream& out, const FileNameCase& c) {
    return out << Printable(c.path);
}

class GetFileNameTest : public testing::TestWithParam<FileNameCase> {};

TEST_P(GetFileNameTest, CutsTheExtensionOnlyAfterTheFirstCharacter) {
    const FileNameCase& c = GetParam();
    EXPECT_EQ(GetFileName(c.path, true), c.withExtension);
    EXPECT_EQ(GetFileName(c.path, false), c.withoutExtension);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, GetFileNameTest,
    testing::Values(FileNameCase{"C:\\Tools\\app.exe", "app.exe", "app"},
                    FileNameCase{"C:\\Tools\\.hidden", ".hidden", ".hidden"},
                    FileNameCase{"b.c.exe", "b.c.exe", "b.c"},
                    FileNameCase{"readme", "readme", "readme"},
                    FileNameCase{"C:\\a.dir\\readme", "readme", "readme"},
                    FileNameCase{"C:\\Tools\\", "", ""}, FileNameCase{"C:\\Tools\\x.", "x.", "x"},
                    // UTF-8 names pass through whole.
                    FileNameCase{"C:\\Programme\\Übersicht.exe", "Übersicht.exe", "Übersicht"}));

TEST(TrimNull, CutsAtTheFirstNul) {
    using namespace std::string_literals;
    EXPECT_EQ(TrimNull("alice\0   "s), "alice");
    EXPECT_EQ(TrimNull("alice"), "alice");
    EXPECT_EQ(TrimNull("\0alice"s), "");
    EXPECT_EQ(TrimNull(""), "");
}

struct ChainCase {
    const char* folder;
    std::vector<std::string> chain;
};

std::ostream& operator<<(std::ostream& out, const ChainCase& c) {
    return out << Printable(c.folder);
}

class FolderChainTest : public testing::TestWithParam<ChainCase> {};

TEST_P(FolderChainTest, ListsEveryFolderBelowTheRoot) {
    EXPECT_EQ(FolderChain(GetParam().folder), GetParam().chain);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, FolderChainTest,
    testing::Values(ChainCase{"C:\\ProgramData\\Kelmarsh\\kqrJumpnest\\",
                              {"C:\\ProgramData", "C:\\ProgramData\\Kelmarsh",
                               "C:\\ProgramData\\Kelmarsh\\kqrJumpnest"}},
                    ChainCase{"C:\\Eigene Dateien", {"C:\\Eigene Dateien"}},
                    // A doubled backslash is not an empty folder name.
                    ChainCase{"C:\\a\\\\b\\\\", {"C:\\a", "C:\\a\\\\b"}}, ChainCase{"C:\\", {}},
                    ChainCase{"", {}},
                    ChainCase{"\\\\server\\share\\team\\x",
                              {"\\\\server\\share\\team", "\\\\server\\share\\team\\x"}},
                    ChainCase{"\\\\?\\C:\\long\\path",
                              {"\\\\?\\C:\\long", "\\\\?\\C:\\long\\path"}},
                    ChainCase{"\\\\?\\UNC\\server\\share\\x", {"\\\\?\\UNC\\server\\share\\x"}},
                    ChainCase{"\\top\\sub", {"\\top", "\\top\\sub"}},
                    ChainCase{"relative\\sub", {"relative", "relative\\sub"}}));

TEST(DataFolderPath, IsBelowTheSharedFolderByMakerAndProgramName) {
    EXPECT_EQ(DataFolderPath("C:\\ProgramData", "kqrJumpnest", "C:\\Tools\\"),
              "C:\\ProgramData\\Kelmarsh\\kqrJumpnest\\");
    EXPECT_EQ(DataFolderPath("C:\\ProgramData", "other", "C:\\Tools\\"),
              "C:\\ProgramData\\Kelmarsh\\other\\");
}

TEST(DataFolderPath, IsTheProgramFolderWithoutASharedFolder) {
    EXPECT_EQ(DataFolderPath("", "kqrJumpnest", "C:\\Tools\\"), "C:\\Tools\\");
}

TEST(EntryFilePath, NamesProgramAndUser) {
    EXPECT_EQ(EntryFilePath("C:\\ProgramData\\Kelmarsh\\kqrJumpnest\\", "kqrJumpnest", "alice"),
              "C:\\ProgramData\\Kelmarsh\\kqrJumpnest\\kqrJumpnest.alice.ini");
    EXPECT_EQ(EntryFilePath("C:\\D\\", "other", "bob"), "C:\\D\\other.bob.ini");
    // Without a user name the two points stand together.
    EXPECT_EQ(EntryFilePath("C:\\D\\", "kqrJumpnest", ""), "C:\\D\\kqrJumpnest..ini");
}

TEST(StartupLinkPath, HasTheFixedNameWhateverTheFolder) {
    EXPECT_EQ(StartupLinkPath("C:\\Users\\alice\\Start Menu\\Programs\\Startup"),
              "C:\\Users\\alice\\Start Menu\\Programs\\Startup\\kqrJumpnest.lnk");
    EXPECT_EQ(StartupLinkPath("C:\\Startup\\"), "C:\\Startup\\kqrJumpnest.lnk");
    // No Startup folder: a path at the root of the current drive.
    EXPECT_EQ(StartupLinkPath(""), "\\kqrJumpnest.lnk");
}

}  // namespace
}  // namespace jumpnest
