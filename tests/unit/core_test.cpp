#include <gtest/gtest.h>

#include <tuple>

#include "core/instance.h"
#include "core/paths.h"
#include "core/scale.h"
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
    EXPECT_EQ(ProgramTitle(AppVersionText(14004)), "Jumpnest V1.4");
    const std::tuple<bool, unsigned, unsigned, int> systems[] = {
        {false, 10, 0, kWinNotNt}, {true, 3, 51, kWinNtBelow4}, {true, 4, 0, kWinNt4},
        {true, 5, 0, kWin2000},    {true, 5, 1, kWinNt5x},      {true, 10, 0, kWinNt7OrLater}};
    for (const auto& [nt, major, minor, code] : systems)
        EXPECT_EQ(WinVersionCodeFor(nt, major, minor), code) << nt << major << "." << minor;
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

TEST(Launch, OpenWithQuotesRundllNotTheTargetFilesStartInTheirFolder) {
    EXPECT_EQ(OpenWithCommandLine("D:\\W D\\S", "C:\\My \"x\".dat "),
              "\"D:\\W D\\S\\rundll32.exe\" SHELL32,OpenAs_RunDLL C:\\My \"x\".dat ");
    // clang-format off
    const std::pair<const char*, const char*> targets[] = {
        {"C:\\Tools\\run.bat", "C:\\Tools\\"}, {"c:\\run.bat", "c:\\"}, {"D:/P/t.exe", "D:/P/"},
        {"\\\\srv\\share\\d\\x.cmd", "\\\\srv\\share\\d\\"}, {"\\\\srv\\s\\x", "\\\\srv\\s\\"},
        {"https://example.org/a/b", ""}, {"mailto:a@b.c", ""}, {"shell:startup", ""},
        {"file:///C:/x.txt", ""}, {"notepad.exe", ""}, {"T\\run.bat", ""}, {"\\T\\run.bat", ""},
        {"C:run.bat", ""}, {"1:\\x", ""}, {"\\\\srv\\share", ""}, {"\\\\\\s\\x", ""},
        {"\\\\?\\C:\\x.exe", ""}, {"\\\\.\\COM1\\x", ""}, {"", ""}};
    // clang-format on
    for (const auto& [target, folder] : targets)
        EXPECT_EQ(WorkingFolderFor(target), folder) << target;
}

TEST(Scale, PictureSizesFollowTheDisplay) {
    const std::tuple<int, int, int> sizes[] = {{96, 32, 16},  {120, 40, 20}, {144, 48, 24},
                                               {168, 56, 28}, {192, 64, 32}, {288, 96, 48}};
    for (const auto& [dpi, large, small] : sizes)
        EXPECT_EQ(std::pair(EntryPicturePixels(true, dpi), EntryPicturePixels(false, dpi)),
                  std::pair(large, small))
            << dpi;
    EXPECT_EQ(ScaleForDpi(13, 144), 20);  // 19.5: away from zero
    // Shrink from the smallest that is large enough; grow only when none is.
    const std::vector<int> shell = {16, 32, 48, 256};
    for (const auto& [wanted, source] : {std::pair{16, 16}, {20, 32}, {40, 48}, {64, 256}})
        EXPECT_EQ(PickSourceSize(shell, wanted), source) << wanted;
    EXPECT_EQ(PickSourceSize({48, 0, 32}, 64), 48);
    EXPECT_EQ(PickSourceSize({}, 32), 0);
}

TEST(Scale, ResamplingAveragesCoveredArea) {
    const std::uint32_t red = 0xFFFF0000, clear = 0, half = 0x80800000;
    // Shrinking by two: each pixel the mean of four, premultiplied.
    EXPECT_EQ(ResamplePicture({2, {red, clear, clear, red}}, 1).pixels,
              (std::vector<std::uint32_t>{half}));
    // Growing by two keeps every pixel's colour in its block.
    EXPECT_EQ(ResamplePicture({2, {red, clear, clear, red}}, 4).pixels,
              (std::vector<std::uint32_t>{red, red, clear, clear, red, red, clear, clear, clear,
                                          clear, red, red, clear, clear, red, red}));
    // Three to two: the middle source pixel counts half for each side.
    const ArgbPicture stripe =
        ResamplePicture({3, {red, clear, clear, red, clear, clear, red, clear, clear}}, 2);
    EXPECT_EQ(stripe.pixels[0], 0xAAAA0000u);
    EXPECT_EQ(stripe.pixels[1], clear);
    // A flat colour stays flat at any size.
    const ArgbPicture flat = ResamplePicture({13, std::vector<std::uint32_t>(169, 0xFF336699)}, 20);
    EXPECT_EQ(flat.pixels, std::vector<std::uint32_t>(400, 0xFF336699));
    EXPECT_EQ(ResamplePicture({2, {red}}, 4).pixels, std::vector<std::uint32_t>(16, 0));
}

TEST(Scale, TellsAPaddedPictureFromAFullOne) {
    ArgbPicture padded{256, std::vector<std::uint32_t>(256 * 256, 0)};
    for (int y = 104; y < 152; ++y)
        for (int x = 104; x < 152; ++x) padded.pixels[y * 256 + x] = 0xFF000000;
    EXPECT_EQ(OpaqueCentredEdge(padded), 48);
    padded.pixels[0] = 0x01000000;
    EXPECT_EQ(OpaqueCentredEdge(padded), 256);
    EXPECT_EQ(OpaqueCentredEdge({4, std::vector<std::uint32_t>(16, 0)}), 0);
}
