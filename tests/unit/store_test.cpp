#include <gtest/gtest.h>

#include <climits>
#include <tuple>

#include "store/entry_file.h"
#include "store/logon_task.h"
#include "store/settings.h"
#include "support/memory_settings_store.h"

using namespace jumpnest;
using Entries = std::vector<MenuEntry>;

// Stands in for the file system: these paths are files, nothing else is.
static bool IsFile(const std::string& path) {
    static const std::set<std::string> files = {
        "C:\\a.exe", "C:\\b.exe", "C:\\B.EXE", "c:\\A.EXE",      "C:\\a\r.exe",  "C:\\b\n.exe",
        "B\tC",      "C:\\Ä.exe", "C:\\ä.exe", "C:\\x\\a.b.txt", "C:\\T\tb.exe", "C:\\.p"};
    return files.contains(path);
}

TEST(EntryFile, ParseAndReadBackWhatWasWritten) {
    const MenuEntry a{"A", "C:\\a.exe"}, b{"B", "C:\\b.exe"};
    const std::pair<std::string, Entries> files[] = {
        {"A\tC:\\a.exe\nB\tC:\\b.exe", {a, b}},              // LF, the last line open
        {"A\tC:\\a.exe\r\r\nB\tC:\\b.exe\r\r\r\n", {a, b}},  // converted to CR LF twice
        // Saving refuses a caption with a CR, so reading must not keep one.
        {"Cap\rtion\tC:\\a.exe\r\n", {{"Caption", "C:\\a.exe"}}},
        {"A\tC:\\a\r.exe\r\nB\tC:\\b.exe\r\r", {b}},  // no file has a CR in its path
        // A file that is away (a share not yet connected) keeps its entry.
        {"no tab\r\nG\tC:\\gone.exe\r\n\r\n\tC:\\b.exe",
         {{"G", "C:\\gone.exe"}, {"", "C:\\b.exe"}}},
        {"A\tB\tC\r\n", {{"A", "B\tC"}}},
        // The first line of a target wins, compared as Windows compares paths.
        {"1\tc:\\A.EXE\n2\tC:\\a.exe\n3\tC:\\Ä.exe\n4\tC:\\ä.exe",
         {{"1", "c:\\A.EXE"}, {"3", "C:\\Ä.exe"}, {"4", "C:\\ä.exe"}}}};
    for (const auto& [text, expected] : files) {
        const Entries entries = ParseEntries(text);
        EXPECT_EQ(entries, expected) << text;
        EXPECT_EQ(ParseEntries(FormatEntries(entries)), entries) << text;
    }
    EXPECT_EQ(FormatEntries({a, {"", "x"}}), "A\tC:\\a.exe\r\n\tx\r\n");
}

TEST(EntryFile, ReadAsUtf8WithAMarkOrWhenItIsUtf8ElseAsAnsi) {
    const std::pair<std::string_view, bool> files[] = {
        {"\xEF\xBB\xBF-", true}, {"\xEF\xBB-", false},  // only a whole mark counts
        {"Jos\xC3\xA9", true},   {"Jos\xE9", false},    // Notepad's UTF-8; ANSI
        {"plain", false},        {"\xF0\x9F\x98\x80", true},
        {"\xC0\xAF", false},     {"\xE0\x80\xAF", false},      // overlong forms of "/"
        {"\xED\xA0\x80", false}, {"\xF4\x90\x80\x80", false},  // a surrogate; past U+10FFFF
        {"\xC3", false},         {"\xC3\xA9\x80", false}};     // cut short; a stray continuation
    for (const auto& [bytes, utf8] : files) EXPECT_EQ(ClassifyEntryFile(bytes).utf8, utf8) << bytes;
    EXPECT_EQ(ClassifyEntryFile("\xEF\xBB\xBF-").text, "-");
}

TEST(EntryFile, LargeFileKeepsTheFirstOfEachTargetAtOnce) {
    // Each target again in capitals: a scan of the list per line would take minutes.
    std::string text, again;
    for (int i = 0; i < 30000; ++i) {
        text += "e\tC:\\d\\f" + std::to_string(i) + "\r\n";
        again += "x\tC:\\D\\F" + std::to_string(i) + "\r\n";
    }
    const Entries entries = ParseEntries(text + again);
    EXPECT_EQ(std::tuple(entries.size(), entries.back().caption), std::tuple(30000u, "e"));
}

TEST(EntryList, MoveDropAndCleanCaption) {
    const std::tuple<size_t, int, size_t, const char*> moves[] = {
        {1, -1, 0, "BAC"}, {1, +1, 2, "ACB"}, {0, -1, 0, "ABC"},
        {2, +1, 2, "ABC"}, {3, -1, 3, "ABC"}, {1, 0, 1, "ABC"}};
    for (const auto& [index, direction, moved, order] : moves) {
        Entries entries = {{"A", "a"}, {"B", "b"}, {"C", "c"}};
        EXPECT_EQ(MoveEntry(entries, index, direction), moved) << index << direction;
        EXPECT_EQ(entries[0].caption + entries[1].caption + entries[2].caption, order);
    }
    // In drop order, files only, each target once and none already listed.
    const std::vector<std::string> dropped = {
        "C:\\x\\a.b.txt", "C:\\x",     "c:\\A.EXE",   "C:\\b.exe",    "C:\\B.EXE",
        "C:\\Ä.exe",      "C:\\ä.exe", "C:\\a\r.exe", "C:\\T\tb.exe", "C:\\.p"};
    const Entries added = {{"a.b", "C:\\x\\a.b.txt"}, {"b", "C:\\b.exe"},     {"Ä", "C:\\Ä.exe"},
                           {"ä", "C:\\ä.exe"},        {"Tb", "C:\\T\tb.exe"}, {".p", "C:\\.p"}};
    EXPECT_EQ(EntriesFromDrop(dropped, {{"Mine", "C:\\a.exe"}}, IsFile), added);
    EXPECT_EQ(CleanCaption("\tNote\tpad\r\n"), "Notepad");
}

TEST(Settings, ParseIntegerAndFlag) {
    const std::pair<const char*, std::optional<int>> integers[] = {
        {"257", 257},       {" -1\t", -1}, {"+3", 3},   {"2147483647", INT_MAX},
        {"2147483648", {}}, {"", {}},      {"1e3", {}}, {"0x10", {}},
        {"3 4", {}},        {"+-1", {}}};
    for (const auto& [text, value] : integers) EXPECT_EQ(ParseInteger(text), value) << text;
    const std::pair<const char*, std::optional<bool>> flags[] = {
        {"0", false}, {" 7 ", true}, {"True", true}, {" FALSE ", false}, {"yes", {}}, {"", {}}};
    for (const auto& [text, value] : flags) EXPECT_EQ(ParseFlag(text), value) << text;
}

TEST(Settings, LoadSaveAndDefaults) {
    test::MemorySettingsStore store;
    EXPECT_EQ(LoadOptions(store, false, 3), (Options{3, true, kLargeIcons, false, "", false}));
    EXPECT_EQ(LoadOptions(store, true, 3).language, 1);  // a German locale starts in German
    // clang-format off
    store.values = {{"Language", "9"}, {"ShowInSysTray", "x"}, {"IconSize", " 257 "},
        {"ExcludedPrograms", " a.exe;;"}, {"PassFullScreen", "1"}, {"Hotkey", "65"}};
    EXPECT_EQ(LoadOptions(store, true, 2),  // a Hotkey of no shortcut is still the user's value
              (Options{9, true, kSmallIcons, false, " a.exe;;", true, 65}));
    // Only 256 is large and any other number small; what is no number takes the default.
    const std::pair<const char*, int> sizes[] = {{"0", kSmallIcons}, {"16", kSmallIcons},
        {"-1", kSmallIcons}, {"256", kLargeIcons}, {"x", kLargeIcons}};
    // clang-format on
    for (const auto& [size, icons] : sizes) {
        store.values = {{"IconSize", size}};
        EXPECT_EQ(LoadOptions(store, false, 0).iconSize, icons) << size;
    }
    const Options saved{0, false, kSmallIcons, true, "mstsc.exe", false};
    EXPECT_TRUE(SaveOptions(store, saved, 14004) && store.values["Version"] == "14004");
    EXPECT_EQ(LoadOptions(store, true, 3), saved);  // the stored English beats the German locale
    test::MemorySettingsStore failing;
    failing.failing = {"Language"};
    EXPECT_FALSE(SaveOptions(failing, saved, 14004));
    EXPECT_EQ(failing.values.size(), 6u);  // the writes after the failed one still happen
}

TEST(LogonTask, DefinitionAsXml) {
    const std::string xml =
        LogonTaskXml({"Jo & <Al>", "S-1-5-21-7", "C:\\Program Files\\R&D\\kqrJumpnest.exe"});
    for (const char* part :
         {"<URI>\\kqrJumpnest.Jo &amp; &lt;Al&gt;</URI>", "<Author>Jo &amp; &lt;Al&gt;</Author>",
          "<SecurityDescriptor>D:(A;;FA;;;SY)(A;;FA;;;BA)(A;;FRFX;;;S-1-5-21-7)</"
          "SecurityDescriptor>",
          "<LogonTrigger>\n      <Enabled>true</Enabled>\n      <UserId>S-1-5-21-7</UserId>\n"
          "      <Delay>PT3S</Delay>",
          "<UserId>S-1-5-21-7</UserId>\n      <LogonType>InteractiveToken</LogonType>\n"
          "      <RunLevel>HighestAvailable</RunLevel>",
          "<DisallowStartIfOnBatteries>false<", "<StopIfGoingOnBatteries>false<",
          "<MultipleInstancesPolicy>IgnoreNew<", "<ExecutionTimeLimit>PT0S<", "<Priority>4<",
          "<Command>&quot;C:\\Program Files\\R&amp;D\\kqrJumpnest.exe&quot;</Command>\n"
          "      <WorkingDirectory>C:\\Program Files\\R&amp;D</WorkingDirectory>"}) {
        EXPECT_NE(xml.find(part), std::string::npos) << part;
    }
    // Unquoted without a blank; the root keeps its backslash.
    EXPECT_NE(LogonTaskXml({"a", "S-1", "C:\\j.exe"})
                  .find("<Command>C:\\j.exe</Command>\n      <WorkingDirectory>C:\\<"),
              std::string::npos);
    EXPECT_EQ(EscapeXml("'\"'"), "&apos;&quot;&apos;");
}

TEST(LogonTask, ProgramPlaceProtectedOnlyFromOrdinaryUsers) {
    const std::string me = "S-1-5-21-9";
    const ObjectSecurity admins{"S-1-5-32-544", true, {{"S-1-5-32-545", 0x1200A9}}};  // Users: read
    // C:\ as Windows sets it up: everyone may make folders there, and owns what they make.
    const ObjectSecurity root{
        "S-1-5-18", true, {{"S-1-5-11", 0x4}, {"S-1-3-0", 0x10000000, true, true}}};
    auto with = [](ObjectSecurity o, AccessEntry e) {
        o.entries.push_back(e);
        return o;
    };
    auto owned = [](ObjectSecurity o, std::string owner) {
        o.owner = owner;
        return o;
    };
    const std::pair<std::vector<ObjectSecurity>, bool> cases[] = {
        {{admins, admins, admins, root}, true},
        {{admins, admins}, true},
        {{admins}, false},                                              // nothing above looked at
        {{admins, with(admins, {"S-1-5-11", 0x2})}, false},             // files added to the folder
        {{admins, with(admins, {"S-1-1-0", 0x2, false})}, true},        // a denial is no grant
        {{admins, with(admins, {"S-1-1-0", 0x2, true, true})}, true},   // only for what is inside
        {{with(admins, {me, 0x10000}), admins}, false},                 // the program deleted
        {{admins, admins, with(admins, {"S-1-5-4", 0x40})}, false},     // the folder removed
        {{admins, admins, with(admins, {"S-1-5-32-545", 0x2})}, true},  // a file beside it, above
        {{admins, with(admins, {"S-1-5-21-8", 0x1F01FF})}, true},       // another user
        {{admins, owned(admins, me)}, false},                           // its owner may rewrite it
        {{admins, ObjectSecurity{"S-1-5-32-544", false, {}}}, false},   // no list at all
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(ProgramPlaceProtected(cases[i].first, me), cases[i].second) << i;
    }
    EXPECT_FALSE(ProgramPlaceProtected(cases[0].first, ""));
}
