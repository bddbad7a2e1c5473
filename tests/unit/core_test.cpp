#include <gtest/gtest.h>

#include <tuple>

#include "core/instance.h"
#include "core/paths.h"
#include "core/version.h"
#include "trigger/launch.h"

using namespace jumpnest;

TEST(Paths, NamesFoldersAndFiles) {
    EXPECT_EQ(AddBackslash("C:\\"), "C:\\");
    EXPECT_EQ(GetParentFolder("C:\\T\\app.exe"), "C:\\T\\");
    EXPECT_EQ(GetFileName("C:\\a.d\\b.c.exe", true), "b.c.exe");
    EXPECT_EQ(GetFileName("C:\\a.d\\b.c.exe", false), "b.c");
    EXPECT_EQ(GetFileName("C:\\T\\.hidden", false), ".hidden");  // a leading dot is no extension
    EXPECT_EQ(DataFolderPath("C:\\PD", "other", "C:\\T\\"), "C:\\PD\\Kelmarsh\\other\\");
    EXPECT_EQ(DataFolderPath("", "other", "C:\\T"), "C:\\T\\");
    EXPECT_EQ(EntryFilePath("C:\\D\\", "other", "bob"), "C:\\D\\other.bob.ini");
    EXPECT_EQ(StartupLinkPath("C:\\S"), "C:\\S\\kqrJumpnest.lnk");
    const std::pair<const char*, std::vector<std::string>> chains[] = {
        {"C:\\P\\K\\x\\", {"C:\\P", "C:\\P\\K", "C:\\P\\K\\x"}},
        {"C:\\a\\\\b", {"C:\\a", "C:\\a\\\\b"}},  // a doubled "\" names no folder
        {"\\\\srv\\share\\t\\x", {"\\\\srv\\share\\t", "\\\\srv\\share\\t\\x"}},
        {"\\\\?\\C:\\l\\p", {"\\\\?\\C:\\l", "\\\\?\\C:\\l\\p"}},
        {"\\\\?\\UNC\\srv\\share\\x", {"\\\\?\\UNC\\srv\\share\\x"}},
        {"\\\\srv\\share", {}}};  // a share is a root
    for (const auto& [folder, chain] : chains) EXPECT_EQ(FolderChain(folder), chain) << folder;
}

TEST(Version, NumberTextAndSystems) {
    EXPECT_EQ(AppVersionText(AppVersionNumber({100, 4, 4})), "100.4.004");
    EXPECT_EQ(AppVersionText(4004), ".4.004");  // a place without a digit stays empty
    const std::tuple<bool, unsigned, unsigned, int> systems[] = {
        {false, 10, 0, kWinNotNt}, {true, 3, 51, kWinNtBelow4}, {true, 4, 0, kWinNt4},
        {true, 5, 0, kWin2000},    {true, 5, 1, kWinNt5x},      {true, 10, 0, kWinNt7OrLater}};
    for (const auto& [nt, major, minor, code] : systems) {
        EXPECT_EQ(WinVersionCodeFor(nt, major, minor), code) << nt << major << "." << minor;
    }
    // Windows 2000 is the oldest system that may run.
    EXPECT_FALSE(IsSupportedSystem(kWinNt4) || IsSupportedSystem(kWinNotNt));
    EXPECT_TRUE(IsSupportedSystem(kWin2000) && IsSupportedSystem(kWinNt7OrLater));
}

TEST(Instance, NamesPerExecutableAndUserWithinSystemLimits) {
    EXPECT_EQ(InstanceMutexName("kqrJumpnest", "S-1"), "Local\\kqrJumpnest.kqrjumpnest.S-1");
    EXPECT_EQ(InstanceMutexName("KQRJUMPNEST", "S-1"), InstanceMutexName("kqrJumpnest", "S-1"));
    EXPECT_NE(InstanceMutexName("Ä", "S-1"), InstanceMutexName("ä", "S-1"));
    // Three-byte characters after two ASCII ones: the cut falls inside one.
    std::string name = "ab";
    for (int i = 0; i < 100; ++i) name += "€";
    const std::string mutex = InstanceMutexName(name, "S-1-5-21-1-2-3-1001");
    const std::string kept = InstanceWindowClass(name).substr(12);  // after "kqrJumpnest:"
    EXPECT_TRUE(mutex.ends_with("€.S-1-5-21-1-2-3-1001") && mutex.size() <= 200) << mutex;
    EXPECT_TRUE(kept.size() > 100 && kept.size() <= 200 && name.starts_with(kept)) << kept;
    EXPECT_EQ((kept.size() - 2) % 3, 0u);
}

TEST(Launch, OpenWithQuotesRundllButNotTheTarget) {
    EXPECT_EQ(OpenWithCommandLine("D:\\W D\\S", "C:\\My \"x\".dat "),
              "\"D:\\W D\\S\\rundll32.exe\" SHELL32,OpenAs_RunDLL C:\\My \"x\".dat ");
}
