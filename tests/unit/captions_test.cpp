#include "ui/text/captions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <set>
#include <string>
#include <utility>

namespace jumpnest {
namespace {

TEST(LanguageColumn, OnlyOneToThreeLeaveEnglish) {
    EXPECT_EQ(LanguageColumn(0), kEnglish);
    EXPECT_EQ(LanguageColumn(1), kGerman);
    EXPECT_EQ(LanguageColumn(2), kFrench);
    EXPECT_EQ(LanguageColumn(3), kSpanish);
    for (std::int32_t stray : {-1, 4, 7, std::numeric_limits<std::int32_t>::min(),
                               std::numeric_limits<std::int32_t>::max()}) {
        EXPECT_EQ(LanguageColumn(stray), kEnglish) << stray;
        EXPECT_EQ(CaptionOf("mntFile", -1, stray), "&File") << stray;
        EXPECT_EQ(HelpText(stray), HelpText(kEnglish)) << stray;
    }
}

TEST(CaptionTable, RowsInTheOrderTheyAreApplied) {
    std::string order;
    for (const CaptionRow& row : CaptionTable()) {
        order += std::string(row.control) + (row.index < 0 ? "" : std::to_string(row.index)) + ' ';
    }
    EXPECT_EQ(order,
              "mntFile mnuFile0 mnuFile2 mntEdit mnuConfig0 mnuConfig2 mnuConfig3 mnuConfig5 "
              "mntLanguage mnuLanguage0 mnuLanguage1 mnuLanguage2 mnuLanguage3 frmConfig "
              "chkOption0 chkOption1 optOption0 optOption1 chkOption2 cmdButton0 cmdButton1 ");
}

TEST(CaptionTable, EveryRowHasTextAndOnlyDropDownItemsABlank) {
    const std::set<std::string_view> dropDownItems = {"mnuFile", "mnuConfig", "mnuLanguage"};
    for (const CaptionRow& row : CaptionTable()) {
        const bool item = dropDownItems.count(row.control) > 0;
        for (int language = 0; language < kLanguageCount; ++language) {
            std::string_view text = row.text[static_cast<std::size_t>(language)];
            SCOPED_TRACE(std::string(row.control) + "(" + std::to_string(row.index) + ") in " +
                         std::to_string(language));
            ASSERT_FALSE(text.empty());
            // Exactly one leading blank on drop-down items, none elsewhere.
            EXPECT_EQ(text.find_first_not_of(' '), item ? 1u : 0u);
        }
    }
}

TEST(CaptionOf, ExactTextsInEachLanguage) {
    EXPECT_EQ(CaptionOf("mnuLanguage", 3, kEnglish), " Spain");
    EXPECT_EQ(CaptionOf("optOption", 1, kGerman), "&Große Menü Symbole");
    EXPECT_EQ(CaptionOf("mnuConfig", 2, kFrench), " Élément pousser top");
    EXPECT_EQ(CaptionOf("mnuConfig", 0, kSpanish), " cambiar el nombre de");
    EXPECT_EQ(CaptionOf("mntLanguage", -1, kSpanish), "Idioma");
    // The only caption that breaks a line, and it does so with a lone CR.
    EXPECT_EQ(CaptionOf("chkOption", 2, kSpanish),
              "Botón central del ratón\rpara abrir el Explorador de");
    EXPECT_EQ(CaptionOf("chkOption", 2, kFrench), "Central de la souris ouvrir l'Explorateur");
}

TEST(CaptionOf, EmptyForControlsTheTableLeavesAlone) {
    for (auto [control, index] : {std::pair<std::string_view, int>{"mnuFile", 1},
                                  {"mnuConfig", 4},
                                  {"cmdButton", 2},
                                  {"lblURL", 0},
                                  {"lblDesc", -1},
                                  {"mntFile", 0},
                                  {"", -1}}) {
        EXPECT_TRUE(CaptionOf(control, index, kEnglish).empty()) << control << index;
    }
}

TEST(HelpText, LinesJoinedByCarriageReturnsOnly) {
    const std::pair<int, std::ptrdiff_t> kLineCounts[] = {
        {kEnglish, 9}, {kGerman, 9}, {kFrench, 10}, {kSpanish, 10}};
    for (auto [language, lines] : kLineCounts) {
        const std::string text = HelpText(language);
        SCOPED_TRACE(language);
        EXPECT_EQ(text.find('\n'), std::string::npos);
        ASSERT_FALSE(text.empty());
        EXPECT_NE(text.back(), '\r');
        EXPECT_EQ(std::count(text.begin(), text.end(), '\r') + 1, lines);
        EXPECT_EQ(HelpLines(language).size(), static_cast<std::size_t>(lines));
        EXPECT_TRUE(text.starts_with("1. "));
        EXPECT_NE(text.find("\r\r2. "), std::string::npos);
        EXPECT_NE(text.find("\r\r3. "), std::string::npos);
    }
    EXPECT_TRUE(HelpText(kEnglish).starts_with(
        "1. Drag and Drop files to the list view, to\r     add new menu entries.\r"));
    // The label reads "&" as an access-key mark, so the doubled one shows as one.
    EXPECT_TRUE(HelpText(kGerman).starts_with("1. Ziehen Sie Dateien per Drag&&Drop in die\r"));
    EXPECT_TRUE(HelpText(kFrench).ends_with("\r     cliquez sur le bouton droit de la souris!"));
    EXPECT_TRUE(HelpText(kSpanish).ends_with("del\r     ratóndie!"));
}

}  // namespace
}  // namespace jumpnest
