// What the system says about its look, and the few calls that make a window's
// frame, controls and menus follow the palette. Every function that only some
// systems have is looked up at run time and skipped where it is missing
// (Windows 7 and 8, Wine).
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/text/palette.h"

namespace jumpnest {

// High contrast, the app mode, the system colours and the accent, now.
SystemLook ReadSystemLook(ThemeChoice choice);

// The true build number (11, 10 and 8.1 all report 6.2 to GetVersionEx
// without a manifest entry); 0 when it cannot be had.
std::uint32_t WindowsBuild();

// A dark or light title bar, where the build has the attribute.
void UseDarkTitleBar(HWND window, bool dark);
// Windows 11's small rounded corners; nothing on earlier builds.
void UseSmallRoundCorners(HWND window);
// A list view, a scroll bar or a button in the system's dark or light look.
void UseDarkControls(HWND control, bool dark);
// Context and drop-down menus of the whole process, dark or as the system has them.
void UseDarkMenus(bool dark);

// A message that says the look may have changed: read the look again.
bool IsThemeChangeMessage(UINT message, LPARAM lParam);

// The palette of the system's look as it is now, for a window that was
// given none.
Palette SystemPalette();

// Gives a window of ours the palette: its title bar, its list views'
// colours and, in dark mode, dark scroll bars, buttons and boxes (a box's
// text then takes the colour of WM_CTLCOLORSTATIC). Repaints it all.
void PaintWindowWith(HWND window, const Palette& palette);

// What WM_CTLCOLORSTATIC and WM_CTLCOLORBTN answer: `text` on `back`.
LRESULT ControlColors(HDC dc, std::uint32_t text, std::uint32_t back);

// Fills the window's client area with `colour` (WM_ERASEBKGND, WM_PRINTCLIENT).
void FillBackground(HWND window, HDC dc, std::uint32_t colour);

}  // namespace jumpnest
