// The Win32 side of pass_through.h: the options the hooks read, and what is
// under the mouse and in front, asked of the system without waiting on any
// other program.
#pragma once

#include <windows.h>

#include <string_view>

namespace jumpnest {

// Hands the hooks new options ("ExcludedPrograms" as stored, and
// "PassFullScreen"). The user-interface thread only; the hooks see them from
// their next event on.
void SetPassThrough(std::string_view excludedPrograms, bool passFullScreen);

// Whether a gesture pressed at `point` leaves it alone. The hook thread only.
bool LeftAloneAt(POINT point);

// The file name of the program that owns `window` ("" when it cannot be
// told), kept per process: valid until the next call. The hook thread only.
std::string_view ProgramOfWindow(HWND window);

}  // namespace jumpnest
