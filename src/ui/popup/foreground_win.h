// Taking the foreground for the popup, which Windows refuses to a program
// the user did not just type into.
#pragma once

#include <windows.h>

namespace jumpnest {

// Gives `window` the foreground with the foreground thread's input borrowed
// for a moment; nothing when that thread does not answer. Whether it took it.
bool BorrowForeground(HWND window);

}  // namespace jumpnest
