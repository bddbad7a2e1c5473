#include <gtest/gtest.h>

#include "ui/popup/popup_sections.h"

using namespace jumpnest;

// Rows written short: 'H' a heading; an entry's place in the copy, then a letter for its section.
static std::string Layout(const PopupRows& shown) {
    std::string text;
    for (size_t row = 0; row < shown.rows.size(); ++row) {
        const auto& [heading, section, entry] = shown.rows[row];
        text += heading ? std::string("H") : std::string{char('0' + entry), char('a' + section)};
        EXPECT_EQ(shown.matches.at(row).entry, entry);
    }
    return text;
}

TEST(PopupSections, HeadingsStandOverSectionsWithEntriesOrMatches) {
    const std::tuple<std::vector<size_t>, bool, const char*> kCases[] = {
        {{2, 3}, true, "H0a1aH2b3b4b"},  // the program's, then the common list
        {{2, 0}, true, "H0a1a"},         // nothing common available: no heading for it
        {{0, 3}, true, "H0b1b2b"},       // the program's entries all away
        {{0}, true, "H"},                // only its own, none there: its heading says whose
        {{3}, false, "0a1a2a"}};         // no program list: the rows as ever
    for (const auto& [sizes, headings, expected] : kCases) {
        EXPECT_EQ(Layout(SectionRows(sizes, headings)), expected);
    }
    std::vector<std::vector<FoldedCaption>> sections(2);
    for (const char* caption : {"Notes", "Paint"}) sections[0].push_back(FoldCaption(caption));
    for (const char* caption : {"Apt", "Pad", "Zip"}) sections[1].push_back(FoldCaption(caption));
    const std::tuple<const char*, bool, const char*> kTyped[] = {
        {"p", true, "H1aH3b2b4b"},  // each section best first: "Pad" before "Apt", "Zip"
        {"no", true, "H0a"},        // only the program's matches
        {"z", true, "H4b"},         // only a common one
        {"q", true, ""},            // none: no headings either, "No match"
        {"p", false, "1a3b2b4b"}};
    for (const auto& [typed, headings, expected] : kTyped) {
        EXPECT_EQ(Layout(FilteredSectionRows(sections, FoldForSearch(typed), headings)), expected)
            << typed;
    }
}

TEST(PopupSections, KeysPassOverHeadings) {
    const std::vector<PopupRow> rows = SectionRows({2, 3}, true).rows;  // H01H234
    const std::tuple<int, RowKey, int, int> kCases[] = {
        {-1, RowKey::kDown, 1, 1},    {-1, RowKey::kUp, 1, 1},    {1, RowKey::kUp, 1, 1},
        {2, RowKey::kDown, 1, 4},     {4, RowKey::kUp, 1, 2},     {6, RowKey::kDown, 1, 6},
        {5, RowKey::kHome, 1, 1},     {1, RowKey::kEnd, 1, 6},    {1, RowKey::kPageDown, 2, 4},
        {1, RowKey::kPageDown, 9, 6}, {5, RowKey::kPageUp, 2, 2}, {4, RowKey::kPageUp, 9, 1},
        {2, RowKey::kPageDown, 0, 4}};
    for (const auto& [from, key, page, expected] : kCases) {
        EXPECT_EQ(NextSelectableRow(rows, from, key, page), expected) << from << " " << int(key);
    }
    EXPECT_EQ(NextSelectableRow(SectionRows({0}, true).rows, -1, RowKey::kDown, 1), -1);
}
