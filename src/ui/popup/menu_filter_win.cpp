// Typing in the popup: the typed text, the rows that match it, and what a
// screen reader is told.
#include <commctrl.h>

#include "core/encoding_win.h"
#include "core/globals.h"
#include "core/handle_win.h"
#include "core/trace_win.h"
#include "core/version.h"
#include "ui/popup/fold_win.h"
#include "ui/popup/menu_window_win.h"

namespace jumpnest {
namespace {

// Says `text` through UI Automation's notification event, which screen
// readers speak at once. Windows 10 1709 and later have it; elsewhere the
// name change alone is what a screen reader hears.
void Announce(HWND window, const std::wstring& text) {
    using HostProvider = HRESULT(WINAPI*)(HWND, IUnknown**);
    using RaiseNotification = HRESULT(WINAPI*)(IUnknown*, int, int, BSTR, BSTR);
    static const UniqueModule uia(
        ::LoadLibraryExW(L"uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (!uia) return;
    const auto host = reinterpret_cast<HostProvider>(
        reinterpret_cast<void*>(::GetProcAddress(uia.get(), "UiaHostProviderFromHwnd")));
    const auto raise = reinterpret_cast<RaiseNotification>(
        reinterpret_cast<void*>(::GetProcAddress(uia.get(), "UiaRaiseNotificationEvent")));
    ComPtr<IUnknown> provider;
    if (!host || !raise || FAILED(host(window, provider.put())) || !provider) return;
    const Bstr said(text), activity(L"JumpnestFilter");
    constexpr int kOther = 4, kMostRecent = 3;  // NotificationKind, NotificationProcessing
    raise(provider.get(), kOther, kMostRecent, said.get(), activity.get());
}

}  // namespace

void MenuWindow::OnCharacter(wchar_t character) {
    if (character == L'\b') {
        if (typed_.empty()) return;
        RemoveLastCharacter(typed_);
    } else if (character >= 0xD800 && character <= 0xDBFF) {
        highSurrogate_ = character;  // the second half follows
        return;
    } else if (character >= 0xDC00 && character <= 0xDFFF) {
        if (!highSurrogate_) return;
        typed_ += Narrow(std::wstring{highSurrogate_, character});
    } else if (character >= L' ' && character != 0x7F) {
        typed_ += Narrow(std::wstring(1, character));
    } else {
        return;  // Enter, Escape, Tab and Ctrl with a letter act on their keys
    }
    highSurrogate_ = 0;
    ApplyFilter();
}

void MenuWindow::ApplyFilter() {
    // The captions are folded at the first key, not at every opening: most
    // openings end in a click, and folding a long list costs time.
    if (inPieces_.size() != captions_.size()) {
        folded_.clear();
        inPieces_.clear();
        size_t entry = 0;
        for (const size_t size : sectionSizes_) {
            folded_.emplace_back();
            for (const size_t end = entry + size; entry < end; ++entry) {
                const std::string text = Narrow(captions_[entry]);
                folded_.back().push_back(FoldCaption(text, FoldForUser));
                inPieces_.push_back(DrawableInPieces(text));
            }
        }
    }
    // Each section ranked on its own, under its heading.
    PopupRows shown =
        typed_.empty()
            ? SectionRows(sectionSizes_, headings_)
            : FilteredSectionRows(folded_, FoldCaption(typed_, FoldForUser).text, headings_);
    rows_ = std::move(shown.rows);
    matches_ = std::move(shown.matches);
    const size_t entries = EntryRowCount(rows_);
    rowTip_.Follow(-1);  // the rows change under it
    HWND listView = list();
    // The window keeps its size: nothing moves under the mouse, only the
    // rows change.
    ListView_SetItemCountEx(listView, noMatch() ? 1 : static_cast<int>(rows_.size()),
                            LVSICF_NOSCROLL);
    ListView_SetItemState(listView, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    const int first = NextSelectableRow(rows_, -1, RowKey::kHome, 1);
    if (!typed_.empty() && first >= 0) {
        ListView_SetItemState(listView, first, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        TellFocus(first);
    }
    if (!rows_.empty()) ListView_EnsureVisible(listView, 0, FALSE);
    ::InvalidateRect(listView, nullptr, TRUE);
    filterTexts_ = true;
    // The title shows the typed text with a caret after it.
    const std::string title = typed_.empty() ? ProgramTitle(gAppVersionText) : typed_ + "|";
    ::SetWindowTextW(design_.Window("lbl", 0), Widen(title).c_str());
    // The window's name says the same to a screen reader; changing it raises
    // the name-change event, and where Windows has them the count is also
    // announced as a notification.
    const std::wstring name =
        Widen(PopupName(options_->language, typed_, entries, captions_.size()));
    ::SetWindowTextW(hwnd(), name.c_str());
    // Raised here as well: not every system raises it for a window's text
    // (Wine does not).
    ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd(), OBJID_WINDOW, CHILDID_SELF);
    if (!typed_.empty()) Announce(hwnd(), name);
    Trace("filter: \"" + typed_ + "\", " + std::to_string(entries) + " shown");
}

}  // namespace jumpnest
