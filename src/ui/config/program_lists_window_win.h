// The dialog of Edit > Program lists: the programs that have a list of their
// own, under the common list. Programs are added by dropping their exe or
// picking it, removed (their file goes at Apply), marked to show only their
// own entries, and chosen for the configuration window to edit. It changes
// the lists it is given at once; Apply and Cancel of the window keep or
// drop that as they do the entries.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "store/program_lists_win.h"
#include "ui/config/program_dialog_win.h"

namespace jumpnest {

class ProgramListsWindow final : public ProgramDialog {
public:
    // The program key of the list to edit; "" for the common list.
    using EditHandler = std::function<void(const std::string& key)>;

    ProgramListsWindow();
    ~ProgramListsWindow() override { Close(); }

    // Opens the dialog over `owner`, which it disables until it closes, as a
    // view of `lists`, with `shown` (a program key, "" for the common list)
    // selected. Edit list closes it and then calls `edit`.
    bool Open(HWND owner, ProgramLists& lists, const std::string& shown, std::int32_t language,
              EditHandler edit);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void AddPrograms(const std::vector<std::string>& paths) override;
    // The rows again from the lists, `select` (a key) selected.
    void Fill(const std::string& select);
    // The selected row's program key, "" for the common list; nothing chosen
    // reads as the common list.
    std::string SelectedKey() const;
    // The selected program's list; null for the common list.
    ProgramLists::Program* SelectedProgram() const;
    // Remove and the check box act on a program's list only.
    void FollowSelection();
    void RemoveSelected();
    void EditSelected();

    ProgramLists* lists_ = nullptr;
    EditHandler edit_;
    std::vector<std::string> keys_;  // of the rows: "" first, for the common list
};

}  // namespace jumpnest
