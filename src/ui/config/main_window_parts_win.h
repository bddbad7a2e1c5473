// What the files of the configuration window share: its design and the
// small helpers for its boxes and its menu bar. Only those files include it.
#pragma once

#include <windows.h>

#include <string>

#include "ui/text/designs.h"

namespace jumpnest::config_window {

inline const WindowDesign& Design() {
    return MainWindowDesign();
}

inline UINT CommandId(Command command) {
    return static_cast<UINT>(command);
}

inline void SetCheck(HWND button, bool on) {
    ::SendMessageW(button, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

inline bool IsChecked(HWND button) {
    return ::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Where the item of `command` stands in the menu bar, "title.item", for the
// trace.
std::string MenuPlace(Command command);

// The drop-down of the menu bar that holds `command`.
HMENU DropDownOf(HMENU bar, Command command);

}  // namespace jumpnest::config_window
