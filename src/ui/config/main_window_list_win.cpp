// The configuration window's list: a view of the entry list that edits it
// (drops, rename in place, up, down, remove) and greys the entries whose
// file is away.
#include "ui/config/main_window_win.h"

#include <commctrl.h>
#include <shobjidl.h>
#include <windowsx.h>

#include <algorithm>
#include <string>

#include "core/encoding_win.h"
#include "core/globals.h"
#include "core/trace_win.h"
#include "core/version.h"
#include "trigger/launch_win.h"
#include "ui/config/main_window_parts_win.h"
#include "ui/text/captions.h"

namespace jumpnest {

using namespace config_window;

namespace {

// The files the user picks in the standard Open dialog, several at once;
// shortcuts are taken as the files they are, not as what they point to.
// Empty when the dialog was cancelled or could not be shown.
std::vector<std::string> AskForFiles(HWND owner, const std::wstring& title) {
    ComPtr<IFileOpenDialog> dialog;
    if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IFileOpenDialog, dialog.put_void()))) {
        Trace("open dialog unavailable");
        return {};
    }
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_ALLOWMULTISELECT | FOS_NODEREFERENCELINKS | FOS_FILEMUSTEXIST |
                       FOS_FORCEFILESYSTEM);
    dialog->SetTitle(title.c_str());
    ComPtr<IShellItemArray> items;
    DWORD count = 0;
    if (dialog->Show(owner) != S_OK || FAILED(dialog->GetResults(items.put())) ||
        FAILED(items->GetCount(&count))) {
        return {};
    }
    std::vector<std::string> paths;
    for (DWORD i = 0; i < count; ++i) {
        ComPtr<IShellItem> item;
        wchar_t* path = nullptr;
        if (FAILED(items->GetItemAt(i, item.put())) ||
            FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
            continue;
        }
        paths.push_back(Narrow(path));
        ::CoTaskMemFree(path);
    }
    return paths;
}

}  // namespace

void MainWindow::AddFiles(const std::vector<std::string>& paths) {
    entries_->AddDropped(paths, store_->isFile);
}

void MainWindow::AddEntries() {
    // The dialog's title is the menu item's caption, without its dots.
    std::string title = StripAccelerators(CaptionOf("mnuConfig", 6, options_->language));
    while (!title.empty() && (title.back() == '.' || title.back() == ' ')) title.pop_back();
    while (!title.empty() && title.front() == ' ') title.erase(0, 1);
    const HWND focused = ::GetFocus();
    Trace("open dialog shown");
    const std::vector<std::string> paths = AskForFiles(hwnd(), Widen(title));
    // The dialog ran a loop of its own: the program may be ending since.
    if (Ending()) return;
    Trace("open dialog closed: " + std::to_string(paths.size()) + " files");
    if (!paths.empty()) AddFiles(paths);
    // Wine hands the activation and the focus elsewhere when the dialog
    // goes. The keys go on where they were, or to the new entries, selected.
    ::SetForegroundWindow(hwnd());
    ::SetFocus(paths.empty() && ::IsChild(hwnd(), focused) ? focused : Control("lvwMenu"));
}

void MainWindow::ShowEditMenu(POINT at) {
    ::TrackPopupMenu(DropDownOf(::GetMenu(hwnd()), Command::kRename), TPM_RIGHTBUTTON, at.x, at.y,
                     0, hwnd(), nullptr);
}

bool MainWindow::OnContextMenu(HWND control, LPARAM place) {
    HWND list = Control("lvwMenu");
    if (control != list) return false;
    POINT at{GET_X_LPARAM(place), GET_Y_LPARAM(place)};
    if (place == -1) {
        // From the keyboard (Shift+F10 or the menu key): below the selected
        // row, or at the list's corner when none is.
        RECT row{};
        const int selected = SelectedIndex();
        if (selected < 0 || !ListView_GetItemRect(list, selected, &row, LVIR_LABEL)) {
            ::GetClientRect(list, &row);
            row.bottom = row.top;
        }
        at = {row.left, row.bottom};
        ::ClientToScreen(list, &at);
    }
    ShowEditMenu(at);
    return true;
}

void MainWindow::ListenTo(const EntryList& list) {
    std::weak_ptr<char>& heard = heard_[&list];
    if (!heard.expired()) return;
    auto mark = std::make_shared<char>();
    heard = mark;
    // Listening is for the list's life: a list not shown is heard and let be.
    list.Listen([this, shown = &list, mark](EntryList::Change change, size_t index) {
        if (entries_ == shown) OnListChanged(change, index);
    });
}

void MainWindow::OnProgramListsChanged() {
    for (const auto& program : store_->programs->programs()) ListenTo(program->list);
    if (shownProgram_.empty()) return;
    // The shown list may be gone (removed), or read again into a new one.
    const ProgramLists::Program* program = store_->programs->Find(shownProgram_);
    if (!program || &program->list != entries_) ShowList(program ? program->key : "");
}

void MainWindow::ShowList(const std::string& key) {
    ProgramLists::Program* program =
        key.empty() || !store_->programs ? nullptr : store_->programs->Find(key);
    entries_ = program ? &program->list : common_;
    shownProgram_ = program ? program->key : "";
    std::string title = ProgramTitle(gAppVersionText);
    if (program) title += " - " + program->key;
    ::SetWindowTextW(hwnd(), Widen(title).c_str());
    rowTip_.Follow(-1);
    HWND list = Control("lvwMenu");
    ListView_SetImageList(list, entries_->Images(true, dpi_), LVSIL_NORMAL);
    ListView_SetImageList(list, entries_->Images(true, dpi_), LVSIL_SMALL);
    RefreshList(0);
    if (IsShown()) entries_->Recheck();
    Trace(program ? "editing the list of " + program->key : std::string("editing the common list"));
}

void MainWindow::OpenProgramLists() {
    if (!store_->programs) return;
    programLists_.Open(hwnd(), *store_->programs, shownProgram_, options_->language,
                       [this](const std::string& key) {
                           ShowList(key);
                           ::SetFocus(Control("lvwMenu"));
                       });
}

void MainWindow::OnListChanged(EntryList::Change change, size_t index) {
    HWND list = Control("lvwMenu");
    // The rows may no longer be what a shown tip says; a picture changes no text.
    if (change != EntryList::Change::kPicture) rowTip_.Follow(-1);
    switch (change) {
    case EntryList::Change::kReset:
        RefreshList(0);
        return;
    case EntryList::Change::kAdded:
        for (size_t i = index; i < entries_->entries().size(); ++i) InsertRow(i);
        SelectRow(static_cast<int>(entries_->entries().size()) - 1);
        return;
    case EntryList::Change::kCaption: {
        // The macro keeps only the pointer: the text must outlive it.
        std::wstring caption = Widen(entries_->entries()[index].caption);
        ListView_SetItemText(list, static_cast<int>(index), 0, caption.data());
        return;
    }
    case EntryList::Change::kPresence:
        ListView_RedrawItems(list, static_cast<int>(index), static_cast<int>(index));
        return;
    case EntryList::Change::kPicture:
        if (index == EntryList::kAllEntries) {
            ::InvalidateRect(list, nullptr, FALSE);
            return;
        }
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = static_cast<int>(index);
        item.iImage = entries_->Image(index, dpi_);
        ListView_SetItem(list, &item);
        return;
    }
}

void MainWindow::InsertRow(size_t index) {
    std::wstring caption = Widen(entries_->entries()[index].caption);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = static_cast<int>(index);
    item.pszText = caption.data();
    item.iImage = entries_->Image(index, dpi_);
    ListView_InsertItem(Control("lvwMenu"), &item);
}

void MainWindow::SelectRow(int index) {
    HWND list = Control("lvwMenu");
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(list, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, index, FALSE);
}

void MainWindow::RefreshList(int select) {
    HWND list = Control("lvwMenu");
    const size_t count = entries_->entries().size();
    // Drawn once at the end rather than for every row.
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list);
    ListView_SetItemCount(list, static_cast<int>(count));
    for (size_t i = 0; i < count; ++i) InsertRow(i);
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
    if (select >= 0 && select < static_cast<int>(count)) SelectRow(select);
}

int MainWindow::SelectedIndex() const {
    return ListView_GetNextItem(Control("lvwMenu"), -1, LVNI_SELECTED);
}

void MainWindow::MoveSelected(int direction) {
    const int selected = SelectedIndex();
    if (selected < 0) return;
    const size_t moved = entries_->Move(static_cast<size_t>(selected), direction);
    SelectRow(static_cast<int>(moved));
    ::SetFocus(Control("lvwMenu"));
}

void MainWindow::RemoveSelected() {
    const int selected = SelectedIndex();
    if (selected < 0) return;
    entries_->Remove(static_cast<size_t>(selected));
    // The next entry takes the removed one's place, ready for the next Delete.
    const int count = static_cast<int>(entries_->entries().size());
    if (count > 0) SelectRow(std::min(selected, count - 1));
}

void MainWindow::RenameSelected() {
    const int selected = SelectedIndex();
    if (selected < 0) return;
    ::SetFocus(Control("lvwMenu"));
    ListView_EditLabel(Control("lvwMenu"), selected);
}

LRESULT MainWindow::OnNotify(const NMHDR& header, LPARAM lParam) {
    if (header.hwndFrom != Control("lvwMenu")) return 0;
    const std::vector<MenuEntry>& entries = entries_->entries();
    switch (header.code) {
    case NM_DBLCLK: {
        const int selected = SelectedIndex();
        if (selected >= 0) {
            Trace("try: " + entries[static_cast<size_t>(selected)].target);
            LaunchTarget(entries[static_cast<size_t>(selected)].target);
        }
        return 0;
    }
    case NM_RCLICK: {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        ShowEditMenu(cursor);
        return TRUE;  // shown: the list sends no WM_CONTEXTMENU after it
    }
    case LVN_KEYDOWN:
        switch (reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey) {
        case VK_DELETE:
            RemoveSelected();
            break;
        case VK_INSERT:
            RunCommand(Command::kAddEntry);
            break;
        default:
            break;
        }
        return 0;
    case NM_CUSTOMDRAW: {
        // An entry whose file is away is drawn greyed; in dark mode the
        // selected row takes the palette's selection, not the light theme's.
        auto& draw = *reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
        if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
        if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
        if (palette_.dark && (draw.nmcd.uItemState & CDIS_SELECTED)) {
            draw.nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
            draw.clrText = palette_.selectedText;
            draw.clrTextBk = palette_.selectedBackground;
        }
        if (!entries_->available(static_cast<size_t>(draw.nmcd.dwItemSpec))) {
            draw.clrText = palette_.grayText;
        }
        return CDRF_NEWFONT;
    }
    case LVN_ENDLABELEDITW: {
        const auto* edit = reinterpret_cast<const NMLVDISPINFOW*>(lParam);
        if (edit->item.pszText && edit->item.iItem >= 0) {
            entries_->Rename(static_cast<size_t>(edit->item.iItem), Narrow(edit->item.pszText));
        }
        return FALSE;  // the row shows the cleaned caption the list now holds
    }
    default:
        return 0;
    }
}

std::wstring MainWindow::EntryTip(size_t item) const {
    // The tip names the file, and for one that is away says why it is grey
    // and that it is kept.
    const std::vector<MenuEntry>& entries = entries_->entries();
    if (item >= entries.size()) return {};
    std::string text = entries[item].target;
    if (!entries_->available(item)) {
        text = std::string(EntryAwayText(options_->language)) + "\n" + text;
    }
    return Widen(text);
}

void MainWindow::PointAtRow(int row) {
    // Over a row its own tip speaks; around the rows, the list's tip of the
    // design ("Drag & Drop files here").
    if ((row < 0) != listTipActive_) {
        listTipActive_ = row < 0;
        ::SendMessageW(design_.toolTip(), TTM_ACTIVATE, listTipActive_, 0);
    }
    rowTip_.Follow(row);
}

void MainWindow::FollowMouseOverList(const MSG& message) {
    HWND list = Control("lvwMenu");
    if (message.hwnd != list) return;
    switch (message.message) {
    case WM_MOUSEMOVE: {
        LVHITTESTINFO hit{};
        hit.pt = {GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
        PointAtRow(ListView_HitTest(list, &hit));
        return;
    }
    case WM_MOUSEHOVER:
        if (rowTip_.row() >= 0) rowTip_.Show(EntryTip(static_cast<size_t>(rowTip_.row())), dpi_);
        return;
    case WM_MOUSELEAVE:
        PointAtRow(-1);
        return;
    case WM_KEYDOWN:  // a key may move, rename or remove the row under it
        rowTip_.Follow(-1);
        return;
    default:
        return;
    }
}

}  // namespace jumpnest
