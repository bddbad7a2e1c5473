#include "ui/config/config_rules.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace jumpnest {
namespace {

using Entries = std::vector<MenuEntry>;

// Stands in for the file system: these paths are files, all else is not.
auto FilesAre(std::set<std::string> files) {
    return [files = std::move(files)](const std::string& path) { return files.count(path) > 0; };
}

const auto kAnyFile = [](const std::string&) { return true; };

TEST(ConfigClose, EachReasonWithThePopupOpenAndClosed) {
    struct Case {
        CloseReason reason;
        bool popupOpen;
        CloseDecision expected;
    };
    const Case cases[] = {
        {CloseReason::CloseBox, false, {CloseAction::Hide, true}},
        {CloseReason::CloseBox, true, {CloseAction::Hide, false}},
        {CloseReason::FromCode, false, {CloseAction::Ask, false}},
        {CloseReason::FromCode, true, {CloseAction::Ask, false}},
        {CloseReason::SessionEnding, false, {CloseAction::QuitAtOnce, false}},
        {CloseReason::SessionEnding, true, {CloseAction::QuitAtOnce, false}},
        {CloseReason::TaskManager, false, {CloseAction::QuitAtOnce, false}},
        {CloseReason::TaskManager, true, {CloseAction::QuitAtOnce, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << static_cast<int>(c.reason) << " popup " << c.popupOpen);
        EXPECT_EQ(DecideClose(c.reason, c.popupOpen), c.expected);
    }
}

TEST(ConfigText, StripAccelerators) {
    const std::pair<std::string, std::string> cases[] = {
        {" Programm beenden...", " Programm beenden..."},
        {"Drag&&Drop", "Drag&Drop"},
        {"&File", "File"},
        {"a&&b&c", "a&bc"},
        {"&&&", "&"},
        {"Exit&", "Exit"},
        {"^^@@^^&&x", "^^@@^^&x"},
        {"", ""},
    };
    for (const auto& [caption, expected] : cases) {
        EXPECT_EQ(StripAccelerators(caption), expected) << caption;
    }
}

TEST(ConfigText, CleanCaptionRemovesOnlyTabAndLineBreaks) {
    EXPECT_EQ(CleanCaption("Note\tpad\r\n"), "Notepad");
    EXPECT_EQ(CleanCaption("\r\n\t"), "");
    EXPECT_EQ(CleanCaption("  Übersicht ✓ & \"x\"  "), "  Übersicht ✓ & \"x\"  ");
}

TEST(ConfigText, QuitQuestionAndHelpPageByLanguage) {
    EXPECT_EQ(QuitQuestion(1), "Soll 'kqrJumpnest' endgültig beendet werden?");
    EXPECT_EQ(QuitQuestion(2), "Devrait être mis fin 'kqrJumpnest' final?");
    EXPECT_EQ(QuitQuestion(3), "Debe darse por concluida 'kqrJumpnest' final?");
    for (const int other : {0, 4, -1, 257}) {
        EXPECT_EQ(QuitQuestion(other), "Do you want to quit 'kqrJumpnest'?") << other;
    }
    EXPECT_EQ(HelpPageName(1), "jumpnest-help-de.html");
    for (const int other : {0, 2, 3, 4}) EXPECT_EQ(HelpPageName(other), "jumpnest-help-en.html");
}

TEST(ConfigPlacement, CenteredOriginDropsTheFraction) {
    EXPECT_EQ(CenteredOrigin(1024, 400), 312);
    EXPECT_EQ(CenteredOrigin(1025, 400), 312);
    EXPECT_EQ(CenteredOrigin(400, 400), 0);
    // Larger than the screen: the overhang is split, truncated toward zero.
    EXPECT_EQ(CenteredOrigin(800, 1001), -100);
    EXPECT_EQ(CenteredOrigin(800, 1000), -100);
}

const Entries kThree = {{"A", "C:\\a.exe"}, {"B", "C:\\b.exe"}, {"C", "C:\\c.exe"}};

TEST(ConfigEntries, MoveEntryAtTheEndsLeavesTheList) {
    Entries entries = kThree;
    EXPECT_EQ(MoveEntry(entries, 0, -1), 0u);
    EXPECT_EQ(MoveEntry(entries, 2, +1), 2u);
    EXPECT_EQ(MoveEntry(entries, 3, -1), 3u);
    EXPECT_EQ(MoveEntry(entries, 7, +1), 7u);
    EXPECT_EQ(entries, kThree);
    Entries none;
    EXPECT_EQ(MoveEntry(none, 0, +1), 0u);
    EXPECT_TRUE(none.empty());
}

TEST(ConfigEntries, MoveEntrySwapsWithTheNeighbour) {
    Entries entries = kThree;
    EXPECT_EQ(MoveEntry(entries, 1, -1), 0u);
    EXPECT_EQ(entries, (Entries{{"B", "C:\\b.exe"}, {"A", "C:\\a.exe"}, {"C", "C:\\c.exe"}}));

    entries = kThree;
    EXPECT_EQ(MoveEntry(entries, 1, +1), 2u);
    EXPECT_EQ(entries, (Entries{{"A", "C:\\a.exe"}, {"C", "C:\\c.exe"}, {"B", "C:\\b.exe"}}));
}

TEST(ConfigEntries, DropAddsFilesInOrderWithNamesAsCaptions) {
    const std::vector<std::string> paths = {"C:\\Tools\\notepad.exe", "C:\\x\\a.b.txt",
                                            "C:\\home\\.profile", "C:\\Tools"};
    EXPECT_EQ(EntriesFromDrop(paths, {}, FilesAre({paths[0], paths[1], paths[2]})),
              (Entries{{"notepad", "C:\\Tools\\notepad.exe"},
                       {"a.b", "C:\\x\\a.b.txt"},
                       {".profile", "C:\\home\\.profile"}}));
    EXPECT_TRUE(EntriesFromDrop({"C:\\gone.exe", "C:\\Tools"}, {}, FilesAre({})).empty());
}

TEST(ConfigEntries, DropAddsEachTargetOnce) {
    const Entries existing = {{"Mine", "C:\\Tools\\Calc.exe"}};
    EXPECT_EQ(EntriesFromDrop({"c:\\tools\\CALC.EXE", "C:\\b.exe", "C:\\B.EXE", "C:\\b.exe"},
                              existing, kAnyFile),
              (Entries{{"b", "C:\\b.exe"}}));
    // Case is folded for ASCII letters only.
    EXPECT_EQ(EntriesFromDrop({"C:\\Ä.exe", "C:\\ä.exe"}, {}, kAnyFile),
              (Entries{{"Ä", "C:\\Ä.exe"}, {"ä", "C:\\ä.exe"}}));
}

TEST(ConfigEntries, DropSkipsLineBreaksAndCleansTheCaption) {
    EXPECT_EQ(EntriesFromDrop({"C:\\a\r.exe", "C:\\b\n.exe", "C:\\Tab\tbed.exe"}, {}, kAnyFile),
              (Entries{{"Tabbed", "C:\\Tab\tbed.exe"}}));
}

}  // namespace
}  // namespace jumpnest
