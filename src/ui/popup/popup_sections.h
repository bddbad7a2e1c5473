// The popup's rows while a program's own list divides them into sections:
// which rows show, where the headings stand, and where the selection goes.
// Pure functions; the window only asks them.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "ui/popup/popup_filter.h"

namespace jumpnest {

// One row of the popup. The entries of all sections are copied at opening
// into one run, the first section's first; `entry` is a row's place in it.
struct PopupRow {
    bool heading = false;     // the section's name, never selected or started
    std::size_t section = 0;  // the section the row belongs to
    std::size_t entry = 0;    // an entry row's place in the copy; 0 for a heading

    bool operator==(const PopupRow&) const = default;
};

// The rows, and beside each the letters a filter matched (a heading's match
// is empty, and so are all of them while nothing is typed).
struct PopupRows {
    std::vector<PopupRow> rows;
    std::vector<Match> matches;
};

// The rows of sections of `sizes` entries, in order. With `headings` each
// section with entries stands under its heading; a section alone keeps its
// heading even without entries, so that a program that shows only its own
// entries still says whose list is empty. Without headings, the entries alone,
// as a popup without sections shows them.
PopupRows SectionRows(const std::vector<std::size_t>& sizes, bool headings);

// The rows while `typed` filters: each section ranked on its own with
// RankEntries (best first, as without sections), a heading only over a
// section with matches; no rows at all when nothing matches. `sections` are
// the sections' captions, folded.
PopupRows FilteredSectionRows(const std::vector<std::vector<FoldedCaption>>& sections,
                              const std::u32string& typed, bool headings);

// How many of `rows` are entries: what the popup's name counts.
std::size_t EntryRowCount(const std::vector<PopupRow>& rows);

enum class RowKey { kUp, kDown, kHome, kEnd, kPageUp, kPageDown };

// The row the selection moves to from `from` (-1: none) for `key`, passing
// over headings; `page` rows make a page. With nothing selected every key
// goes to the first entry row, as the list's own keys go to its first row.
// -1 when no row can be selected.
int NextSelectableRow(const std::vector<PopupRow>& rows, int from, RowKey key, int page);

}  // namespace jumpnest
