#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <fstream>
#include <set>
#include <tuple>

#include "ui/config/config_rules.h"
#include "ui/popup/popup_filter.h"
#include "ui/popup/popup_keys.h"
#include "ui/popup/popup_layout.h"
#include "ui/text/captions.h"
#include "ui/text/designs.h"
#include "ui/text/palette.h"

using namespace jumpnest;
constexpr int kW = 1920 * 15, kH = 1080 * 15, kPopupW = 3390, kPopupH = 1125;  // twips at 96 dpi

TEST(Popup, SizeListAndLeaveCheck) {
    EXPECT_EQ(PopupHeightTwips(3, 17, 15.0, kH), 1125);  // (3 x 17 + 24) x 15
    EXPECT_EQ(PopupHeightTwips(1, 18, 12.5, kH), 588);   // 587.5 and 612.5: halves to even
    EXPECT_EQ(PopupHeightTwips(1, 20, 12.5, kH), 612);
    EXPECT_EQ(PopupHeightTwips(100, 17, 15.0, kH), kH);
    const PixelRect window{-500, -400, -274, -165};  // 100 pixels around it are forgiven
    EXPECT_FALSE(CursorLeftPopup({-600, -500}, window, 96) ||
                 CursorLeftPopup({-175, -66}, window, 96));
    for (const ScreenPoint out : {ScreenPoint{-601, -300}, {-300, -501}, {-174, -300}, {0, -65}}) {
        EXPECT_TRUE(CursorLeftPopup(out, window, 96)) << out.x << "," << out.y;
        EXPECT_EQ(CursorLeftPopup(out, window, 192), out.x == 0) << "200 pixels at 200 %";
    }
    EXPECT_TRUE(CursorLeftPopup({-701, -300}, window, 192));
}

TEST(Popup, LaidOutForTheMonitorsScale) {
    // Three rows as the list draws them with large icons, and the scroll bar
    // metrics, at 100, 125, 150, 200 and 300 %.
    struct Case {
        int dpi, row, bar, width, height, lineY, column;
        PixelRect title, corner;
    };
    for (const Case& c :
         {Case{96, 34, 17, 226, 126, 20, 188, {5, 4, 201, 17}, {211, 4, 224, 17}},
          Case{120, 42, 21, 283, 156, 25, 237, {6, 5, 251, 21}, {264, 5, 280, 21}},
          Case{144, 50, 26, 339, 186, 30, 283, {8, 6, 302, 26}, {317, 6, 336, 26}},
          Case{192, 66, 34, 452, 246, 40, 380, {10, 8, 402, 34}, {422, 8, 448, 34}},
          Case{288, 98, 51, 678, 366, 60, 572, {15, 12, 603, 51}, {633, 12, 672, 51}}}) {
        const PopupGeometry g = PopupGeometryFor(c.dpi, 3, c.row, 2000, c.bar, c.bar);
        EXPECT_EQ(std::tuple(g.width, g.height, g.lineY, g.columnWidth),
                  std::tuple(c.width, c.height, c.lineY, c.column))
            << c.dpi;
        EXPECT_EQ(g.list, (PixelRect{1, c.lineY + 1, c.width - 1, c.height - 1})) << c.dpi;
        EXPECT_EQ(std::pair(g.title, g.corner), std::pair(c.title, c.corner)) << c.dpi;
        EXPECT_GE(g.list.bottom - g.list.top, 3 * c.row) << "every row fits at " << c.dpi;
        // Taller than the monitor: as high as it, and the list scrolls.
        EXPECT_EQ(PopupGeometryFor(c.dpi, 100, c.row, 1040, c.bar, c.bar).height, 1040);
    }
}

TEST(Popup, ClampedToTheWorkArea) {
    const TwipsBounds screen{0, 0, kW, kH}, left{-kW, 0, 0, kH}, taskbarTop{0, 600, kW, kH};
    auto at = [](int x, int y, TwipsBounds area) {
        return ClampPopupOrigin({x, y}, kPopupW, kPopupH, area);
    };
    EXPECT_EQ(at(-300, -300, screen), (MenuOrigin{0, 0}));
    EXPECT_EQ(at(kW - kPopupW + 1, kH, screen), (MenuOrigin{kW - kPopupW, kH - kPopupH}));
    EXPECT_EQ(at(-300, 3000, left), (MenuOrigin{-kPopupW, 3000}));  // a monitor left of the primary
    EXPECT_EQ(at(-29000, 3000, left), (MenuOrigin{-kW, 3000}));
    EXPECT_EQ(at(4500, 300, taskbarTop), (MenuOrigin{4500, 600}));
    // Larger than the area: its title and first entries stay on screen.
    EXPECT_EQ(ClampPopupOrigin({4500, 5000}, kW + 1, kH, taskbarTop), (MenuOrigin{0, 600}));
}

// Ticks until the fade stops or closes the window; -1 for a tick that applied nothing.
static std::vector<int> RunFade(FadeState& state, bool& closed) {
    std::vector<int> applied;
    FadeTick tick;
    do {
        tick = NextFadeTick(state);
        applied.push_back(tick.applied.value_or(-1));
    } while (!tick.stopTimer && !tick.close && applied.size() < 999);
    closed = tick.close;
    return applied;
}

TEST(Popup, FadesInAndOut) {
    bool closed = true;
    FadeState state = FadeInStart();
    const std::vector<int> in = RunFade(state, closed);
    for (size_t i = 0; i < in.size(); ++i) EXPECT_EQ(in[i], 5 * static_cast<int>(i));
    EXPECT_EQ(std::tuple(in.size(), closed), std::tuple(52u, false));  // 0, 5, ... 255, stop
    // Down by 8 from where the alpha stands (past opaque after a fade-in) until below 5.
    const std::tuple<int, int, int, size_t> outs[] = {
        {52, -1, 12, 32}, {51, 255, 7, 32}, {10, 50, 10, 6}, {0, 0, 0, 1}};
    for (const auto& [ticksIn, first, last, count] : outs) {
        state = FadeInStart();
        for (int i = 0; i < ticksIn; ++i) NextFadeTick(state);
        StartFadeOut(state);
        StartFadeOut(state);  // the leave check may ask again
        const std::vector<int> out = RunFade(state, closed);
        EXPECT_EQ(std::tuple(closed, out.size(), out.front(), out.back()),
                  std::tuple(true, count, first, last));
        for (size_t i = 2; i < out.size(); ++i) EXPECT_EQ(out[i - 1] - out[i], 8) << ticksIn;
    }
}

TEST(Config, CloseTextAndPlacement) {
    using R = CloseReason;
    // The open popup shows the live list: Cancel would change it under the user.
    EXPECT_EQ(DecideClose(R::CloseBox, false), (CloseDecision{CloseAction::Hide, true}));
    EXPECT_EQ(DecideClose(R::CloseBox, true), (CloseDecision{CloseAction::Hide, false}));
    EXPECT_EQ(DecideClose(R::FromCode, true), (CloseDecision{CloseAction::Ask, false}));
    EXPECT_EQ(DecideClose(R::SessionEnding, true), (CloseDecision{CloseAction::QuitAtOnce, false}));
    EXPECT_EQ(DecideClose(R::FromOutside, false), (CloseDecision{CloseAction::QuitAtOnce, false}));
    const std::pair<const char*, const char*> stripped[] = {
        {"Drag&&Drop", "Drag&Drop"}, {"&File", "File"},        {"a&&b&c", "a&bc"}, {"&&&", "&"},
        {"Exit&", "Exit"},           {"^^@@^^&&x", "^^@@^^&x"}};
    for (const auto& [caption, plain] : stripped) EXPECT_EQ(StripAccelerators(caption), plain);
    EXPECT_EQ(CenteredOrigin(1025, 400), 312);
    EXPECT_EQ(CenteredOrigin(800, 1001), -100);  // larger than the screen: both sides hang over
    EXPECT_EQ(CenteredOrigin(INT_MIN, INT_MAX), INT_MIN + 1);
}

TEST(Captions, EveryLanguageValueHasTextAndTheWriteFailureIsFilled) {
    auto texts = [](std::int32_t l) {
        return std::tuple(
            CaptionOf("cmdButton", 1, l), HelpText(l), QuitQuestion(l), HelpPageName(l),
            FileOfAnotherUserReason(l), UnsafeEntryFileReason(l), WriteFailedMessage(l, "f", "r"),
            HotkeyNeedsCtrlOrAltMessage(l), HotkeyLostMessage(l), EntryAwayText(l),
            PopupName(l, "x", 0, 9), HotkeyTypesCharacterMessage(l, "@", "German"),
            OptionsNotStoredMessage(l, "f", "r"), ListChangedElsewhereQuestion(l, "f"),
            MovedBesideProgramMessage(l, "f"), MoveBesideProgramFailedMessage(l, "f", "r"));
    };
    for (const std::int32_t stray : {-1, 4, INT_MIN}) EXPECT_EQ(texts(stray), texts(kEnglish));
    // Each value goes in once, and a placeholder inside a value stays as it is.
    const std::string file = "C:\\%REASON%\\%FILE%.ini", reason = "Denied: %FILE% %REASON%";
    std::set<std::string_view> pages;
    for (int language = 0; language < kLanguageCount; ++language) {
        for (std::string message : {WriteFailedMessage(language, file, reason),
                                    OptionsNotStoredMessage(language, file, reason),
                                    MoveBesideProgramFailedMessage(language, file, reason),
                                    MovedBesideProgramMessage(language, file) + reason,
                                    ListChangedElsewhereQuestion(language, file) + reason}) {
            const size_t fileAt = message.find(file), reasonAt = message.find(reason);
            ASSERT_TRUE(fileAt < reasonAt && reasonAt != std::string::npos) << message;
            message.erase(reasonAt, reason.size()).erase(fileAt, file.size());
            EXPECT_EQ(message.find('%'), std::string::npos) << message;
        }
        const std::string typed = HotkeyTypesCharacterMessage(language, "%LAYOUT%", "%CHAR%");
        const size_t layoutAt = typed.find("%CHAR%"), characterAt = typed.find("%LAYOUT%");
        EXPECT_TRUE(layoutAt < characterAt && characterAt != std::string::npos &&
                    typed.rfind("%CHAR%") == layoutAt && typed.rfind("%LAYOUT%") == characterAt)
            << typed;
        pages.insert(HelpPageName(language));
        const std::string help = HelpText(language);  // lines end in a lone CR, the last in none
        EXPECT_FALSE(help.ends_with('\r') || help.find('\n') != std::string::npos) << language;
        EXPECT_EQ(std::count(help.begin(), help.end(), '\r') + 1, std::ssize(HelpLines(language)));
    }
    EXPECT_EQ(pages.size(), static_cast<size_t>(kLanguageCount));  // a page of its own each
    for (const std::string_view page : pages) {  // the build copies them beside the program
        EXPECT_TRUE(std::ifstream(JUMPNEST_SOURCE_DIR "/res/help/" + std::string(page))) << page;
    }
}

TEST(Designs, MenuCommandsAndUnits) {
    std::set<Command> commands;
    for (const MenuItemDesign& item : MainWindowDesign().menu) {
        if (item.index < 0 || item.caption == "-") continue;
        EXPECT_TRUE(item.command != Command::kNone && commands.insert(item.command).second)
            << item.name << item.index;
        // A language item picks its language by the command's offset.
        EXPECT_TRUE(item.name != "mnuLanguage" ||
                    int(item.command) - int(Command::kEnglish) == item.index)
            << item.index;
    }
    EXPECT_EQ(TwipsToPixels(7470, 12), 623);  // 622.5: to the nearest, away from zero
}

TEST(PopupFilter, FoldsCaseAccentsAndWordsOfEveryPlane) {
    EXPECT_EQ(FoldForSearch("Élan ÜBER Łódź Ærø Straße GROẞ"), U"elan uber lodz aro strasse gross");
    EXPECT_EQ(FoldForSearch("Cafe\u0301 ΆΒΓ Οδυσσέας ПРИВЕТ Ёж İı"),
              U"cafe αβγ οδυσσεασ привет еж ii");
    EXPECT_EQ(FoldForSearch("\xF0\x9F\x93\x81 Ｆiles \xFF\xC0\xAF"),
              U"\U0001F4C1 files \uFFFD\uFFFD\uFFFD");
    const FoldedCaption words =
        FoldCaption("Team—Chat “Quoted” 記事本「メモ」 RegEdit e-Mail ÉtéÖl");
    std::u32string initials;
    for (std::size_t i = 0; i < words.text.size(); ++i)
        if (words.wordStart[i]) initials += words.text[i];
    EXPECT_EQ(initials, U"tcq記メreemeo");
    std::string typed = "ab\xF0\x9F\x93\x81";
    RemoveLastCharacter(typed);
    EXPECT_EQ(typed, "ab");
    for (typed = "\xC3\xA9"; !typed.empty();) RemoveLastCharacter(typed);
    RemoveLastCharacter(typed);
    EXPECT_EQ(typed, "");
}

TEST(PopupFilter, RanksInTiersWithMatchedCharacters) {
    // clang-format off
    const char* const names[] = {
        "Notepad", "Cupregistry", "Wine Regedit", "Registry Editor", "ureg reg",       // 0-4
        "Programs (regular)", "\xF0\x9F\x93\x81 Files", "Visual Studio Code",         // 5-7
        "Microsoft Visual Studio", "RegEdit", "Network Tools Pad", "Net Updater",      // 8-11
        "Printpad", "Straße", "GROẞ", "Αθήνα", "Οδυσσέας", "İstanbul", "Izmir",        // 12-18
        "WinMerge Diff", "Cafe\u0301 Noir", "Café Crème", "Edge", "Easy Disk",        // 19-23
        "Team—Chat", "“Quoted” Notes", "記事本「メモ」", "e-Mail Client", "Ærø Sound",   // 24-28
        "Ёж Reader"};                                                                 // 29
    const std::pair<const char*, std::vector<std::size_t>> kOrders[] = {
        {"REG", {3, 9, 2, 4, 5, 1}}, {"ed", {22, 3, 9, 23, 2, 25}}, {"edit", {3, 9, 2}},
        {"vs", {7, 8}}, {"wm", {19}}, {"ntpd", {11, 10, 0}}, {"tpd", {10}}, {"ss", {13, 14}},
        {"ΑΘΗΝΑ", {15}},
        {"ΟΔΥΣΣΕΑΣ", {16}}, {"ist", {17, 1, 3}}, {"ız", {18}}, {"cafe", {20, 21}}, {"xyz", {}},
        {"tc", {24}}, {"qn", {25}}, {"メモ", {26}}, {"mail", {27}}, {"aro", {28}}, {"еж", {29}},
        {"", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22,
              23, 24, 25, 26, 27, 28, 29}}};
    using R = std::vector<Range16>;  // a whole "ß", "e" with its accent, a surrogate pair
    const std::tuple<const char*, std::size_t, R> kRanges[] = {
        {"strass", 13, R{{0, 5}}}, {"gros", 14, R{{0, 4}}}, {"fe", 20, R{{2, 5}}},
        {"fi", 6, R{{3, 5}}}, {"wm", 19, R{{0, 1}, {3, 4}}},
        {"tpd", 10, R{{8, 9}, {14, 15}, {16, 17}}}};
    // clang-format on
    std::vector<FoldedCaption> captions;
    for (const char* name : names) captions.push_back(FoldCaption(name));
    const auto rank = [&](const char* typed) {
        return RankEntries(captions, FoldForSearch(typed));
    };
    for (const auto& [typed, order] : kOrders) {
        std::vector<std::size_t> entries;
        for (const Match& match : rank(typed)) entries.push_back(match.entry);
        EXPECT_EQ(entries, order) << typed;
    }
    for (const auto& [typed, entry, ranges] : kRanges) {  // the only or first match
        const Match first = rank(typed).at(0);
        EXPECT_EQ(first.entry, entry) << typed;
        EXPECT_EQ(first.ranges, ranges) << typed;
    }
}

// Ctrl chords act only with Alt up: Ctrl+Alt is AltGr, which types into the filter.
TEST(PopupKeys, ChordsNeedCtrlWithoutAltAndEverythingElseIsTyped) {
    using C = PopupCommand;
    constexpr KeyModifiers none{}, ctrl{true}, ctrlShift{true, true}, altGr{true, false, true},
        altGrShift{true, true, true};
    // clang-format off
    const std::tuple<std::uint32_t, bool, KeyModifiers, C> kCases[] = {
        {'C', false, ctrl, C::kCopyPath}, {'C', false, none, C::kNone}, {'C', true, ctrl, C::kNone},
        {'C', false, altGr, C::kNone}, {'E', false, ctrlShift, C::kOpenFileLocation},
        {'E', false, altGrShift, C::kNone}, {'E', false, ctrl, C::kNone},
        {kVkReturn, false, ctrlShift, C::kStartAsAdministrator},
        {kVkReturn, false, altGrShift, C::kStart}, {kVkReturn, true, ctrlShift, C::kNone},
        {kVkF2, false, none, C::kOpenConfiguration}, {kVkEscape, true, none, C::kEscape}};
    // clang-format on
    for (const auto& [key, released, held, command] : kCases)
        EXPECT_EQ(int(PopupKeyCommand(key, released, held)), int(command))
            << key << (released ? " up " : " down ") << held.ctrl << held.shift << held.alt;
}

TEST(PopupFilter, DrawnInPiecesOnlyWhereNothingJoinsOrTurns) {  // Arabic, Hebrew: by pixels
    EXPECT_TRUE(DrawableInPieces("Cafe\u0301 Ёж Οδυσσέας 記事本 한글 \U0001F4C1 \xFF"));
    for (const char* whole : {"\u0928\u094B", "\u0E42\u0E19", "x\u200Fy", "\U0001F44D\U0001F3FD"})
        EXPECT_FALSE(DrawableInPieces(whole)) << whole;
}

using Field = std::uint32_t Palette::*;
using T = ThemeChoice;
constexpr SystemColors kSys{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};  // each system colour told apart
// clang-format off
constexpr std::pair<Field, Field> kTextOnGround[] = {
    {&Palette::popupTitleText, &Palette::popupTitleBackground},
    {&Palette::popupRowText, &Palette::popupRowBackground},
    {&Palette::grayText, &Palette::popupRowBackground},
    {&Palette::grayText, &Palette::listBackground},
    {&Palette::selectedText, &Palette::selectedBackground},
    {&Palette::helpText, &Palette::helpBackground}, {&Palette::listText, &Palette::listBackground},
    {&Palette::windowText, &Palette::windowBackground},
    {&Palette::linkText, &Palette::windowBackground}};
// clang-format on

TEST(Palette, LightIsTheDesignAndHighContrastOnlyTheSystemColours) {
    // clang-format off
    const std::pair<Field, std::uint32_t> light[] = {
        {&Palette::popupBackground, kSys.buttonFace}, {&Palette::popupTitleBackground, kSys.menu},
        {&Palette::popupTitleText, kNavy}, {&Palette::popupRowBackground, kSys.window},
        {&Palette::popupRowText, kSys.windowText}, {&Palette::popupRule, kSys.activeBorder},
        {&Palette::popupEdge, kSys.activeBorder}, {&Palette::selectedBackground, kSys.highlight},
        {&Palette::selectedText, kSys.highlightText}, {&Palette::windowBackground, kSys.buttonFace},
        {&Palette::windowText, kSys.buttonText}, {&Palette::helpBackground, kLightYellow},
        {&Palette::helpText, kBlack}, {&Palette::listBackground, kSys.window},
        {&Palette::listText, kSys.windowText}, {&Palette::linkText, kNavy},
        {&Palette::grayText, kSys.grayText}};
    // clang-format on
    const std::set<std::uint32_t> system{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    for (const std::optional<bool> lightMode : {std::optional<bool>{}, {true}, {false}}) {
        for (const T choice : {T::System, T::Light, T::Dark}) {
            const Palette p = ChoosePalette({false, lightMode, choice, kSys, 0xFF});
            const bool dark = choice == T::Dark || (choice == T::System && lightMode == false);
            EXPECT_TRUE(p.dark == dark && !p.highContrast) << int(choice);
            for (const auto& [field, colour] : light) EXPECT_TRUE(dark || p.*field == colour);
            const Palette high = ChoosePalette({true, lightMode, choice, kSys, 0xFF});
            EXPECT_TRUE(high.highContrast && !high.dark);
            for (const auto& [field, unused] : light) EXPECT_TRUE(system.contains(high.*field));
        }
    }
}

TEST(Palette, DarkTextReadableOnEveryGroundWhateverTheAccent) {
    EXPECT_NEAR(ContrastRatio(kBlack, RgbColor(255, 255, 255)), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(RgbColor(255, 0, 0), kBlack), 5.252, 1e-9);  // red in the low byte
    EXPECT_NEAR(ContrastRatio(kBlack, RgbColor(0, 0, 255)), 2.444, 1e-9);
    EXPECT_NEAR(ContrastRatio(RgbColor(0, 120, 215), RgbColor(255, 255, 255)), 4.499, 1e-3);
    // clang-format off
    const std::pair<std::optional<std::uint32_t>, bool> accents[] = {
        {std::nullopt, false}, {RgbColor(0, 120, 215), true}, {RgbColor(20, 20, 40), false},
        {RgbColor(255, 250, 200), true}, {RgbColor(90, 90, 90), false}};  // too dark to be seen
    // clang-format on
    for (const auto& [accent, used] : accents) {
        for (const auto& [lightMode, choice] :
             {std::pair{std::optional<bool>{false}, T::System}, {{true}, T::Dark}, {{}, T::Dark}}) {
            const Palette p = ChoosePalette({false, lightMode, choice, kSys, accent});
            EXPECT_TRUE(p.dark && !p.highContrast);
            EXPECT_EQ(p.selectedBackground == accent, used) << std::hex << accent.value_or(0);
            EXPECT_GE(ContrastRatio(p.selectedBackground, p.popupRowBackground), 3.0);
            for (const auto& [text, ground] : kTextOnGround) {
                EXPECT_GE(ContrastRatio(p.*text, p.*ground), 4.5) << std::hex << p.*text;
            }
        }
    }
}

TEST(Palette, StoredThemeAndBuildGates) {
    // clang-format off
    for (const auto& [stored, choice] : {std::pair{"light", T::Light}, {" Dark\t", T::Dark},
         {"LIGHT", T::Light}, {"", T::System}, {"system", T::System}, {"darker", T::System},
         {"d ark", T::System}}) {
        EXPECT_EQ(ParseThemeChoice(stored), choice) << stored;
    }
    const std::tuple<std::uint32_t, std::optional<std::uint32_t>, bool, bool> gates[] = {
        {17762, {}, false, false}, {17763, 19, false, false}, {18361, 19, false, false},
        {18362, 19, true, false}, {19040, 19, true, false}, {19041, 20, true, false},
        {21999, 20, true, false}, {22000, 20, true, true}};
    // clang-format on
    for (const auto& [build, titleBar, menus, corners] : gates)
        EXPECT_EQ(
            std::tuple(DarkTitleBarAttribute(build), HasDarkMenus(build), HasRoundCorners(build)),
            std::tuple(titleBar, menus, corners))
            << build;
}
