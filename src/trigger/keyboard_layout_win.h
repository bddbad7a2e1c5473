// The keyboard layouts the user has installed, as Windows answers what a key
// types on each.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "trigger/keyboard_layout.h"

namespace jumpnest {

// What `key`, with its Ctrl, Alt and Shift held, types on `layout` (UTF-8;
// empty for nothing), without disturbing a dead key the user left pending.
std::string TypedOnLayout(HKL layout, const Hotkey& key);

// The layout's name as Windows shows it, such as "German" or "Polish
// (Programmers)"; the name of its language where the system has none.
std::string LayoutName(HKL layout);

// Every layout of GetKeyboardLayoutList, in its order, each asked through
// TypedOnLayout. Asked afresh on each call: the user may add a layout while
// the program runs.
std::vector<KeyboardLayout> InstalledKeyboardLayouts();

}  // namespace jumpnest
