#include <gtest/gtest.h>

#include "ui/popup/popup_sections.h"

using namespace jumpnest;

namespace {
// Rows written short: 'H' a heading, a digit an entry's place in the copy.
std::string Layout(const std::vector<PopupRow>& rows) {
    std::string text;
    for (const PopupRow& row : rows) text += row.heading ? 'H' : char('0' + row.entry);
    return text;
}
}  // namespace

TEST(PopupSections, HeadingsStandOverSectionsWithEntries) {
    const std::tuple<std::vector<size_t>, bool, const char*> kCases[] = {
        {{2, 3}, true, "H01H234"},  // the program's, then the common list
        {{2, 0}, true, "H01"},      // nothing common available: no heading for it
        {{0, 3}, true, "H012"},     // the program's entries all away
        {{2}, true, "H01"},         // only its own entries
        {{0}, true, "H"},           // only its own, none there: its heading says whose
        {{3}, false, "012"}};       // no program list: the rows as ever
    for (const auto& [sizes, headings, expected] : kCases) {
        const PopupRows shown = SectionRows(sizes, headings);
        EXPECT_EQ(Layout(shown.rows), expected);
        ASSERT_EQ(shown.matches.size(), shown.rows.size());
        EXPECT_EQ(EntryRowCount(shown.rows), sizes.size() == 2 ? sizes[0] + sizes[1] : sizes[0]);
    }
    EXPECT_EQ(SectionRows({2, 3}, true).rows[4], (PopupRow{false, 1, 2}));
}

TEST(PopupSections, TypingRanksEachSectionAndDropsHeadingsWithoutMatches) {
    const auto fold = [](std::vector<const char*> captions) {
        std::vector<FoldedCaption> folded;
        for (const char* caption : captions) folded.push_back(FoldCaption(caption));
        return folded;
    };
    const std::vector<std::vector<FoldedCaption>> sections{fold({"Notes", "Paint"}),
                                                           fold({"Apt", "Pad", "Zip"})};
    const std::tuple<const char*, bool, const char*> kCases[] = {
        {"p", true, "H1H324"},  // each section best first: "Pad" before "Apt", "Zip"
        {"no", true, "H0"},     // only the program's matches
        {"z", true, "H4"},      // only a common one
        {"q", true, ""},        // none: no headings either, "No match"
        {"p", false, "1324"}};
    for (const auto& [typed, headings, expected] : kCases) {
        const PopupRows shown = FilteredSectionRows(sections, FoldForSearch(typed), headings);
        EXPECT_EQ(Layout(shown.rows), expected) << typed;
        for (size_t row = 0; row < shown.rows.size(); ++row) {
            EXPECT_EQ(shown.matches[row].ranges.empty(), shown.rows[row].heading) << typed << row;
            EXPECT_EQ(shown.matches[row].entry, shown.rows[row].entry) << typed << row;
        }
    }
}

TEST(PopupSections, KeysPassOverHeadings) {
    const std::vector<PopupRow> rows = SectionRows({2, 3}, true).rows;  // H01H234
    const std::tuple<int, RowKey, int, int> kCases[] = {
        {-1, RowKey::kDown, 1, 1},     {-1, RowKey::kUp, 1, 1},      {1, RowKey::kUp, 1, 1},
        {2, RowKey::kDown, 1, 4},      {4, RowKey::kUp, 1, 2},       {6, RowKey::kDown, 1, 6},
        {5, RowKey::kHome, 1, 1},      {1, RowKey::kEnd, 1, 6},      {1, RowKey::kPageDown, 2, 4},
        {1, RowKey::kPageDown, 9, 6},  {5, RowKey::kPageUp, 2, 2},   {4, RowKey::kPageUp, 9, 1},
        {2, RowKey::kPageDown, 0, 4}};
    for (const auto& [from, key, page, expected] : kCases) {
        EXPECT_EQ(NextSelectableRow(rows, from, key, page), expected)
            << from << " key " << int(key) << " page " << page;
    }
    EXPECT_EQ(NextSelectableRow(SectionRows({0}, true).rows, -1, RowKey::kDown, 1), -1);
}
