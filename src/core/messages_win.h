// The private messages that cross from one thread or one part of the program
// to another, in one place so that no two of them can ever share a number.
#pragma once

#include <windows.h>

namespace jumpnest {

// From the input hooks' thread to the program window: a trigger at a screen
// point (wParam x, lParam y, both signed), and a middle click for Explorer.
inline constexpr UINT kTriggerMessage = WM_APP + 1;
inline constexpr UINT kExploreMessage = WM_APP + 2;

// Requests to the input hooks' own thread.
inline constexpr UINT kInstallKeyboardMessage = WM_APP + 10;
inline constexpr UINT kInstallMouseMessage = WM_APP + 11;
inline constexpr UINT kReinstallHooksMessage = WM_APP + 12;

// From the shell: mouse events on the notification-area icon, with the mouse
// message in the low word of lParam.
inline constexpr UINT kTrayMessage = WM_APP + 20;

// From the icon loader's thread: an entry's pictures, lParam owning them.
inline constexpr UINT kPicturesMessage = WM_APP + 21;

}  // namespace jumpnest
