// The popup over a program with a list of its own: that list's entries under
// a heading with the program's name, then the common ones under theirs. The
// rows are drawn here while headings divide them, since the list knows only
// the common list's pictures; headings are never selected or started.
#include <commctrl.h>

#include "core/encoding_win.h"
#include "core/trace_win.h"
#include "ui/popup/menu_window_win.h"
#include "ui/text/appearance_win.h"

namespace jumpnest {

void MenuWindow::CopyRows(const ProgramSection& section) {
    sources_.clear();
    targets_.clear();
    captions_.clear();
    images_.clear();
    folded_.clear();
    inPieces_.clear();
    // The available entries of `list`, appended to the copy; how many.
    const auto copy = [this](const EntryList& list) {
        const std::vector<MenuEntry>& entries = list.entries();
        size_t copied = 0;
        for (size_t i = 0; i < entries.size(); ++i) {
            if (!list.available(i)) continue;
            sources_.push_back(i);
            targets_.push_back(entries[i].target);
            captions_.push_back(Widen(entries[i].caption));
            images_.push_back(list.Image(i, dpi_));
            ++copied;
        }
        return copied;
    };
    generation_ = entries_->generation();
    program_ = nullptr;
    programRows_ = section.list && section.list != entries_ ? copy(*section.list) : 0;
    // A program's list with nothing to start leaves the popup as it always
    // was, unless the program shows nothing else: then its heading says
    // whose list has nothing.
    if (programRows_ == 0 && !(section.list && section.ownEntriesOnly)) {
        headings_ = false;
        sectionSizes_ = {copy(*entries_)};
    } else {
        program_ = section.list;
        programGeneration_ = program_->generation();
        programName_ = section.name;
        commonHeading_ = CommonListHeading(options_->language);
        headings_ = true;
        sectionSizes_ = {programRows_};
        if (!section.ownEntriesOnly) sectionSizes_.push_back(copy(*entries_));
        Trace("popup sections: " + programName_ + " " + std::to_string(programRows_) + ", common " +
              std::to_string(captions_.size() - programRows_));
    }
    PopupRows shown = SectionRows(sectionSizes_, headings_);
    rows_ = std::move(shown.rows);
    matches_ = std::move(shown.matches);
}

const std::string& MenuWindow::HeadingOf(size_t section) const {
    return section == 0 ? programName_ : commonHeading_;
}

std::wstring MenuWindow::AccessibleText(size_t row) const {
    // The caption with its heading: a screen reader moving down the rows
    // says which list each one comes from.
    const PopupRow& shown = rows_[row];
    if (shown.heading) return Widen(HeadingOf(shown.section));
    return Widen(
        RowInSection(options_->language, Narrow(captions_[shown.entry]), HeadingOf(shown.section)));
}

std::pair<HIMAGELIST, int> MenuWindow::PictureOf(size_t entry) const {
    if (entry >= programRows_) return {rowLayout_.images, images_[entry]};
    if (!program_) return {nullptr, -1};
    // Pictures that arrived since the opening are the list's; once the list
    // was edited, an index there may mean another entry, and the copy holds.
    const int image = program_->generation() == programGeneration_
                          ? program_->Image(sources_[entry], dpi_)
                          : images_[entry];
    return {program_->Images(options_->iconSize == kLargeIcons, dpi_), image};
}

void MenuWindow::DrawHeading(const NMLVCUSTOMDRAW& draw, const PopupRow& row) const {
    HDC dc = draw.nmcd.hdc;
    const auto index = static_cast<int>(draw.nmcd.dwItemSpec);
    RECT whole{};
    ListView_GetItemRect(list(), index, &whole, LVIR_BOUNDS);
    ::FillRect(dc, &whole, DesignBrush(dc, palette_.popupRowBackground));
    // A rule over every heading but the top one parts the sections.
    if (index > 0) {
        const RECT rule{whole.left, whole.top, whole.right, whole.top + 1};
        ::FillRect(dc, &rule, DesignBrush(dc, palette_.popupRule));
    }
    // Bold and grey, where the pictures stand: a name, not an entry.
    RECT text{whole.left + rowLayout_.icon.left, whole.top, whole.right - rowLayout_.textIndent,
              whole.bottom};
    const std::wstring heading = Widen(HeadingOf(row.section));
    const HGDIOBJ before = ::SelectObject(dc, bold_.get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, palette_.grayText);
    ::DrawTextW(dc, heading.c_str(), static_cast<int>(heading.size()), &text,
                DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    ::SelectObject(dc, before);
}

bool MenuWindow::MoveOverHeadings(WPARAM key) {
    if (!headings_ || noMatch()) return false;
    RowKey move{};
    switch (key) {
    case VK_UP:
        move = RowKey::kUp;
        break;
    case VK_DOWN:
        move = RowKey::kDown;
        break;
    case VK_HOME:
        move = RowKey::kHome;
        break;
    case VK_END:
        move = RowKey::kEnd;
        break;
    case VK_PRIOR:
        move = RowKey::kPageUp;
        break;
    case VK_NEXT:
        move = RowKey::kPageDown;
        break;
    default:
        return false;
    }
    HWND listView = list();
    const int from = ListView_GetNextItem(listView, -1, LVNI_SELECTED);
    const int to = NextSelectableRow(rows_, from, move, ListView_GetCountPerPage(listView));
    if (to < 0) return true;
    if (to != from) {
        if (from >= 0) ListView_SetItemState(listView, from, 0, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_SetItemState(listView, to, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        TellFocus(to);
    }
    // The heading over a section's first entry comes into view with it.
    if (to > 0 && rows_[static_cast<size_t>(to - 1)].heading) {
        ListView_EnsureVisible(listView, to - 1, FALSE);
    }
    ListView_EnsureVisible(listView, to, FALSE);
    return true;
}

}  // namespace jumpnest
