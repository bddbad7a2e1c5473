#include "ui/config/program_lists_window_win.h"

#include <commctrl.h>

#include <algorithm>

#include "core/encoding_win.h"
#include "trigger/pass_through.h"
#include "core/trace_win.h"
#include "ui/config/main_window_parts_win.h"

namespace jumpnest {

using config_window::IsChecked;
using config_window::SetCheck;

ProgramListsWindow::ProgramListsWindow()
    : ProgramDialog(ProgramListsWindowDesign(), ProgramListsCaptionTable(),
                    L"kqrJumpnestProgramLists", "program lists", "lvwLists") {}

bool ProgramListsWindow::Open(HWND owner, ProgramLists& lists, const std::string& shown,
                              std::int32_t language, EditHandler edit) {
    if (!Build(owner, language)) return hwnd() != nullptr;
    lists_ = &lists;
    edit_ = std::move(edit);
    Fill(shown);
    ShowModal();
    return true;
}

void ProgramListsWindow::Fill(const std::string& select) {
    HWND list = List();
    keys_.assign(1, "");
    for (const auto& program : lists_->programs()) keys_.push_back(program->key);
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list);
    for (size_t i = 0; i < keys_.size(); ++i) {
        std::wstring text = Widen(i ? keys_[i] : std::string(CommonListHeading(language())));
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = text.data();
        ListView_InsertItem(list, &item);
    }
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    const auto at = std::find(keys_.begin(), keys_.end(), select);
    const int row = at == keys_.end() ? 0 : static_cast<int>(at - keys_.begin());
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, row, FALSE);
    FollowSelection();
}

std::string ProgramListsWindow::SelectedKey() const {
    const int row = ListView_GetNextItem(List(), -1, LVNI_SELECTED);
    return row > 0 && static_cast<size_t>(row) < keys_.size() ? keys_[static_cast<size_t>(row)]
                                                              : std::string();
}

ProgramLists::Program* ProgramListsWindow::SelectedProgram() const {
    const std::string key = SelectedKey();
    return key.empty() ? nullptr : lists_->Find(key);
}

void ProgramListsWindow::FollowSelection() {
    const ProgramLists::Program* program = SelectedProgram();
    HWND box = Control("chkOwnOnly");
    SetCheck(box, program && program->ownEntriesOnly);
    ::EnableWindow(box, program != nullptr);
    ::EnableWindow(Control("cmdList", 1), program != nullptr);
}

void ProgramListsWindow::AddPrograms(const std::vector<std::string>& paths) {
    std::string last;
    for (const std::string& path : paths) {
        // A program that has a list already is only chosen.
        if (!IsProgramFile(FileNameOf(path))) continue;
        if (const ProgramLists::Program* program = lists_->Add(path)) last = program->key;
    }
    if (last.empty()) return;
    Trace("program list of " + last);
    Fill(last);
    ::SetFocus(List());
}

void ProgramListsWindow::RemoveSelected() {
    const ProgramLists::Program* program = SelectedProgram();
    if (!program) return;
    const int row = ListView_GetNextItem(List(), -1, LVNI_SELECTED);
    Trace("program list removed: " + program->key);
    lists_->Remove(program);
    // The next program takes the removed one's place, ready for the next Delete.
    keys_.erase(keys_.begin() + row);
    Fill(keys_[std::min(static_cast<size_t>(row), keys_.size() - 1)]);
    ::SetFocus(List());
}

void ProgramListsWindow::EditSelected() {
    const std::string key = SelectedKey();
    // Read before the dialog goes; the handler may open it again.
    EditHandler edit = edit_;
    Close();
    if (edit) edit(key);
}

LRESULT ProgramListsWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const BuiltControl* built = FindById(id);
        if (id == IDOK) {
            EditSelected();
        } else if (id == IDCANCEL) {
            Close();
        } else if (built && HIWORD(wParam) == BN_CLICKED) {
            if (built->design->command == Command::kAddProgram) BrowseForProgram();
            if (built->design->command == Command::kRemoveProgram) RemoveSelected();
            if (built->design->name == "chkOwnOnly") {
                if (ProgramLists::Program* program = SelectedProgram()) {
                    program->ownEntriesOnly = IsChecked(built->hwnd);
                }
            }
        }
        return 0;
    }
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (header.hwndFrom != List()) return 0;
        if (header.code == LVN_ITEMCHANGED) {
            const auto& change = *reinterpret_cast<const NMLISTVIEW*>(lParam);
            if ((change.uChanged & LVIF_STATE) &&
                ((change.uNewState ^ change.uOldState) & LVIS_SELECTED)) {
                FollowSelection();
            }
        } else if (header.code == NM_DBLCLK) {
            if (reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem >= 0) EditSelected();
        } else if (header.code == LVN_KEYDOWN &&
                   reinterpret_cast<const NMLVKEYDOWN*>(lParam)->wVKey == VK_DELETE) {
            RemoveSelected();
        }
        return 0;
    }
    default:
        return ProgramDialog::HandleMessage(message, wParam, lParam);
    }
}

}  // namespace jumpnest
