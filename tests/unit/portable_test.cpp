#include <gtest/gtest.h>

#include <map>

#include "core/text.h"
#include "store/portable.h"
#include "store/program_lists.h"

using namespace jumpnest;

TEST(PortableSettings, AFileEditedByHandKeepsWhatTheProgramDoesNotWrite) {
    const std::string text =
        "\xEF\xBB\xBF; mine\r\n[Other]\nLanguage=9\n[settings]\r\n  language = 2 \r\n"
        "# a note\r\nKept=yes\r\n\r\n[Settings]\r\nIconSize=1\r\n";
    std::optional<IniDocument> file = IniDocument::Parse(text);
    ASSERT_TRUE(file);
    IniSettingsStore store(*file);
    EXPECT_EQ(store.Read("Language"), "2");           // any case, blanks taken away
    EXPECT_EQ(store.Read("IconSize"), std::nullopt);  // a second such section is not read
    EXPECT_TRUE(store.Write("LANGUAGE", "3") && store.Write("Explorer", "1"));
    EXPECT_FALSE(store.Write("Explorer", "1\r\nIconSize=257"));
    EXPECT_EQ(file->Text(),
              "\xEF\xBB\xBF; mine\r\n[Other]\r\nLanguage=9\r\n[settings]\r\nLANGUAGE=3\r\n"
              "# a note\r\nKept=yes\r\nExplorer=1\r\n\r\n[Settings]\r\nIconSize=1\r\n");
    EXPECT_EQ(IniDocument::Parse(file->Text())->Value("SETTINGS", "explorer"), "1");

    std::optional<IniDocument> empty = IniDocument::Parse("");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(IniSettingsStore(*empty).Write("Language", "1"));
    EXPECT_EQ(empty->Text(), "[Settings]\r\nLanguage=1\r\n");
    const std::string_view broken[] = {"Language 2", "[Settings]\nnot a setting", "=1",
                                       "Language=\xC3(", std::string_view("A=\0", 3)};
    for (const std::string_view bad : broken) {
        EXPECT_FALSE(IniDocument::Parse(bad)) << bad;
    }
}

TEST(PortableSettings, TargetsOnTheSticksDriveTravelWithIt) {
    const char* folder = "E:\\Stick\\Jumpnest\\";
    // target, as stored, resolved for a copy that now runs from F:\Moved\.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"E:\\Stick\\Jumpnest\\Tools\\run.exe", "Tools\\run.exe", "F:\\Moved\\Tools\\run.exe"},
        {"e:\\stick\\jumpnest\\a.txt", "a.txt", "F:\\Moved\\a.txt"},
        {"E:\\Photos\\index.html", "\\Photos\\index.html", "F:\\Photos\\index.html"},
        {"E:\\Stick\\Jumpnest", "\\Stick\\Jumpnest", "F:\\Stick\\Jumpnest"},
        {"C:\\Windows\\notepad.exe", "C:\\Windows\\notepad.exe", "C:\\Windows\\notepad.exe"},
        {"\\\\server\\share\\x.doc", "\\\\server\\share\\x.doc", "\\\\server\\share\\x.doc"},
        {"%USERPROFILE%\\x.txt", "%USERPROFILE%\\x.txt", "%USERPROFILE%\\x.txt"},
        {"https://example.org/", "https://example.org/", "https://example.org/"}};
    for (const auto& [target, stored, moved] : cases) {
        EXPECT_EQ(StoredTarget(target, folder), stored) << target;
        EXPECT_EQ(ResolvedTarget(stored, "F:\\Moved\\"), moved) << target;
    }
    // A share is no drive: nothing is stored relative to a copy that runs from one.
    EXPECT_EQ(StoredTarget("\\\\s\\j\\a.exe", "\\\\s\\j\\"), "\\\\s\\j\\a.exe");
    EXPECT_EQ(ResolvedTarget("a.exe", "\\\\s\\j\\"), "a.exe");
}

TEST(PortableSettings, VariablesAreExpandedAsWindowsDoes) {
    const std::map<std::string, std::string, std::less<>> variables = {{"HOME", "C:\\Users\\ada"},
                                                                       {"B", "bee"}};
    const auto lookup = [&](std::string_view name) -> std::optional<std::string> {
        const auto found = variables.find(name);
        return found == variables.end() ? std::nullopt : std::optional(found->second);
    };
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"%HOME%\\x.txt", "C:\\Users\\ada\\x.txt"},
        {"%NONE%\\x", "%NONE%\\x"},
        {"%NONE%B%", "%NONEbee"},  // the unknown name's closing % opens the next
        {"100%", "100%"},
        {"%%B%%", "%bee%"},
        {"%B%%B%", "beebee"},
        {"", ""}};
    for (const auto& [text, expanded] : cases) EXPECT_EQ(ExpandVariables(text, lookup), expanded);
}

TEST(ProgramLists, OneFilePerProgramBesideTheCommonList) {
    const std::pair<std::string_view, std::string_view> keys[] = {
        {"C:\\Program Files\\Notepad++\\NOTEPAD++.EXE", "notepad++.exe"},
        {"Über.EXE", "Über.exe"},
        {"a<b>c:d\"e|f?g*h\x01.exe", "a_b_c_d_e_f_g_h_.exe"},
        {"trailing. . ", "trailing"},
        {"C:\\folder\\", ""}};
    for (const auto& [program, key] : keys) EXPECT_EQ(ProgramKey(program), key) << program;
    EXPECT_EQ(ProgramListPath("C:\\Data", "kqrJumpnest", "ada", "C:\\Windows\\Notepad.exe"),
              "C:\\Data\\kqrJumpnest.ada@notepad.exe.ini");
    EXPECT_EQ(ProgramListPath("C:\\Data\\", "kqrJumpnest", "ada", "..."), "");

    const std::pair<std::string_view, std::optional<std::string>> files[] = {
        {"kqrJumpnest.ada@notepad.exe.ini", "notepad.exe"},
        {"KQRJUMPNEST.ADA@NOTEPAD.EXE.INI", "notepad.exe"},
        {"kqrJumpnest.ada.ini", std::nullopt},              // the common list
        {"kqrJumpnest.bob@notepad.exe.ini", std::nullopt},  // another user's
        {"other.ada@notepad.exe.ini", std::nullopt},        // another copy's
        {"kqrJumpnest.ada@.ini", std::nullopt},
        {"kqrJumpnest.ada@notepad.exe.ini.1-0.tmp", std::nullopt}};
    for (const auto& [name, program] : files) {
        EXPECT_EQ(ProgramOfListFile(name, "kqrJumpnest", "ada"), program) << name;
    }
}
