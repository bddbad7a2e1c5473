#include "ui/popup/popup_sections.h"

#include <algorithm>

namespace jumpnest {

PopupRows SectionRows(const std::vector<std::size_t>& sizes, bool headings) {
    PopupRows shown;
    std::size_t entry = 0;
    for (std::size_t section = 0; section < sizes.size(); ++section) {
        if (headings && (sizes[section] > 0 || sizes.size() == 1)) {
            shown.rows.push_back({true, section, 0});
        }
        for (std::size_t i = 0; i < sizes[section]; ++i, ++entry) {
            shown.rows.push_back({false, section, entry});
        }
    }
    shown.matches.resize(shown.rows.size());
    for (std::size_t row = 0; row < shown.rows.size(); ++row) {
        shown.matches[row].entry = shown.rows[row].entry;
    }
    return shown;
}

PopupRows FilteredSectionRows(const std::vector<std::vector<FoldedCaption>>& sections,
                              const std::u32string& typed, bool headings) {
    PopupRows shown;
    std::size_t first = 0;  // the section's first entry in the copy
    for (std::size_t section = 0; section < sections.size(); ++section) {
        std::vector<Match> matches = RankEntries(sections[section], typed);
        if (headings && !matches.empty()) {
            shown.rows.push_back({true, section, 0});
            shown.matches.push_back({0, {}});
        }
        for (Match& match : matches) {
            match.entry += first;
            shown.rows.push_back({false, section, match.entry});
            shown.matches.push_back(std::move(match));
        }
        first += sections[section].size();
    }
    return shown;
}

std::size_t EntryRowCount(const std::vector<PopupRow>& rows) {
    return static_cast<std::size_t>(
        std::count_if(rows.begin(), rows.end(), [](const PopupRow& row) { return !row.heading; }));
}

int NextSelectableRow(const std::vector<PopupRow>& rows, int from, RowKey key, int page) {
    const int count = static_cast<int>(rows.size());
    const auto selectable = [&](int row) { return !rows[static_cast<std::size_t>(row)].heading; };
    // The first entry row at or after `row` going by `step`, or -1.
    const auto seek = [&](int row, int step) {
        for (; row >= 0 && row < count; row += step) {
            if (selectable(row)) return row;
        }
        return -1;
    };
    const int first = seek(0, 1), last = seek(count - 1, -1);
    if (first < 0) return -1;
    if (from < 0 || from >= count) return first;
    page = std::max(page, 1);
    int wanted = from, step = 1;
    switch (key) {
    case RowKey::kHome:
        return first;
    case RowKey::kEnd:
        return last;
    case RowKey::kUp:
        wanted = from - 1, step = -1;
        break;
    case RowKey::kDown:
        wanted = from + 1;
        break;
    case RowKey::kPageUp:
        wanted = std::max(from - page, 0), step = -1;
        break;
    case RowKey::kPageDown:
        wanted = std::min(from + page, count - 1);
        break;
    }
    // A heading is passed over in the key's direction; at the end of the
    // rows the selection stays on the nearest entry row instead.
    const int found = seek(wanted, step);
    if (found >= 0) return found;
    return step < 0 ? first : last;
}

}  // namespace jumpnest
