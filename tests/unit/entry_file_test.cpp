#include "store/entry_file.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace jumpnest {
namespace {

// Stands in for the file system: these targets are files, all else is not.
auto FilesAre(std::set<std::string> files) {
    return [files = std::move(files)](const std::string& path) { return files.count(path) > 0; };
}

const auto kAnyFile = [](const std::string&) { return true; };

TEST(EntryFile, RoundTripKeepsCaptionsTargetsAndOrder) {
    const std::vector<MenuEntry> entries = {
        {"Notepad", "C:\\Windows\\notepad.exe"},
        {"  leading blanks, commas, \"quotes\"", "C:\\Docs\\Q3, final \"v2\".docx"},
        {"Übersicht ✓", "C:\\Programme\\Übersicht.exe"},
        {"", "C:\\no caption.txt"},
    };
    const std::string text = FormatEntries(entries);
    EXPECT_EQ(ParseEntries(text, kAnyFile), entries);
}

TEST(EntryFile, FormatIsCaptionTabTargetCrLf) {
    EXPECT_EQ(
        FormatEntries({{"Notepad", "C:\\Windows\\notepad.exe"},
                       {"Calculator", "C:\\Windows\\system32\\calc.exe"}}),
        "Notepad\tC:\\Windows\\notepad.exe\r\nCalculator\tC:\\Windows\\system32\\calc.exe\r\n");
    EXPECT_EQ(FormatEntries({}), "");
}

TEST(EntryFile, SplitsAtTheFirstTabOnly) {
    // A→B→C: caption A, target "B→C", which names no file and is dropped.
    EXPECT_EQ(ParseEntries("A\tB\tC\r\n", kAnyFile), (std::vector<MenuEntry>{{"A", "B\tC"}}));
    EXPECT_TRUE(ParseEntries("A\tB\tC\r\n", FilesAre({"B", "C"})).empty());
}

TEST(EntryFile, SkipsLinesWithoutTabAndMissingTargets) {
    const std::string text =
        "no tab here\r\n"
        "Gone\tC:\\deleted.exe\r\n"
        "Folder\tC:\\Tools\r\n"
        "Kept\tC:\\Tools\\kept.exe\r\n"
        "\r\n";
    EXPECT_EQ(ParseEntries(text, FilesAre({"C:\\Tools\\kept.exe"})),
              (std::vector<MenuEntry>{{"Kept", "C:\\Tools\\kept.exe"}}));
}

TEST(EntryFile, ReadsLfLineEndsAndALastLineWithoutEnd) {
    EXPECT_EQ(ParseEntries("A\tC:\\a.exe\nB\tC:\\b.exe\r\nC\tC:\\c.exe", kAnyFile),
              (std::vector<MenuEntry>{{"A", "C:\\a.exe"}, {"B", "C:\\b.exe"}, {"C", "C:\\c.exe"}}));
}

TEST(EntryFile, StrayCarriageReturns) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<MenuEntry> expected;
    };
    const Case cases[] = {
        // Lines converted to CR LF a second time.
        {"CR CR LF ends a line",
         "A\tC:\\a.exe\r\r\nB\tC:\\b.exe\r\r\r\n",
         {{"A", "C:\\a.exe"}, {"B", "C:\\b.exe"}}},
        {"CR CR ends the last line", "A\tC:\\a.exe\r\r", {{"A", "C:\\a.exe"}}},
        // The saving side would refuse the whole list over such a caption.
        {"a CR inside a caption is dropped",
         "Cap\rtion\tC:\\a.exe\r\n",
         {{"Caption", "C:\\a.exe"}}},
        {"a target holding a CR is no file",
         "A\tC:\\a\r.exe\r\nB\tC:\\b.exe\r\n",
         {{"B", "C:\\b.exe"}}},
    };
    const auto files = FilesAre({"C:\\a.exe", "C:\\b.exe", "C:\\a\r.exe"});
    for (const Case& c : cases) {
        const std::vector<MenuEntry> entries = ParseEntries(c.text, files);
        EXPECT_EQ(entries, c.expected) << c.name;
        // What was read is written back so that it reads the same.
        EXPECT_EQ(ParseEntries(FormatEntries(entries), files), entries) << c.name;
    }
}

TEST(EntryFile, LargeFileKeepsEachTargetOnce) {
    // Every target twice, the second time in capitals: only the first of each
    // is kept, in file order, and a file this size reads at once.
    constexpr int kCount = 30000;
    std::string text;
    std::vector<MenuEntry> expected;
    for (int i = 0; i < kCount; ++i) {
        const std::string target = "C:\\data\\file" + std::to_string(i) + ".txt";
        text += "entry " + std::to_string(i) + "\t" + target + "\r\n";
        expected.push_back({"entry " + std::to_string(i), target});
    }
    for (int i = kCount - 1; i >= 0; --i) {
        text += "again\tC:\\DATA\\FILE" + std::to_string(i) + ".TXT\r\n";
    }
    EXPECT_EQ(ParseEntries(text, kAnyFile), expected);
}

TEST(EntryFile, FirstLineOfATargetWins) {
    EXPECT_EQ(ParseEntries("One\tC:\\x.exe\r\nTwo\tc:\\X.EXE\r\nThree\tC:\\y.exe\r\n", kAnyFile),
              (std::vector<MenuEntry>{{"One", "C:\\x.exe"}, {"Three", "C:\\y.exe"}}));
}

TEST(EntryFile, EmptyFileGivesNoEntries) {
    EXPECT_TRUE(ParseEntries("", kAnyFile).empty());
    EXPECT_TRUE(ParseEntries("\r\n\r\n", kAnyFile).empty());
}

TEST(EntryFile, ByteOrderMarkSelectsUtf8) {
    const std::string utf8 = std::string(kUtf8Bom) + "A\tC:\\a.exe\r\n";
    EXPECT_TRUE(ClassifyEntryFile(utf8).utf8);
    EXPECT_EQ(ClassifyEntryFile(utf8).text, "A\tC:\\a.exe\r\n");
    EXPECT_FALSE(ClassifyEntryFile("A\tC:\\a.exe\r\n").utf8);
    EXPECT_FALSE(ClassifyEntryFile("").utf8);
    // Only a whole mark counts.
    EXPECT_FALSE(ClassifyEntryFile("\xEF\xBB").utf8);
}

TEST(EntryFile, SameTargetIgnoresOnlyAsciiCase) {
    EXPECT_TRUE(SameTarget("C:\\Tools\\App.exe", "c:\\tools\\app.EXE"));
    EXPECT_FALSE(SameTarget("C:\\Tools\\App.exe", "C:\\Tools\\App.ex"));
    EXPECT_FALSE(SameTarget("C:\\Ä.exe", "C:\\ä.exe"));
}

}  // namespace
}  // namespace jumpnest
