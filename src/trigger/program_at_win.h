// Which program a gesture is made over, for the popup's list of that
// program: asked on the user-interface thread, once the hook has posted the
// gesture, never on the hook's thread.
#pragma once

#include <windows.h>

#include <string>

namespace jumpnest {

// The file name ("notepad.exe") of the program that owns the window at
// `point` on the screen; "" when it cannot be told. The system answers
// without the program taking part, so a hung program costs nothing.
std::string ProgramAt(POINT point);

// The same for the window in front, which the keyboard shortcut is typed in.
std::string ProgramInFront();

}  // namespace jumpnest
