// The dots per inch of monitors and windows, and the system metrics and frame
// sizes at a given one. Windows 10 answers per monitor; the functions that do
// are looked up at run time, and where they are missing (Windows 7 and 8) the
// system's one DPI answers for every monitor.
#pragma once

#include <windows.h>

namespace jumpnest {

// The DPI the system started with: that of the primary monitor at sign-in.
int SystemDpi();
// The DPI of the monitor that holds `point`, or is nearest to it.
int DpiAt(POINT point);
// That monitor's whole rectangle and DPI, asked in one go: each question
// about monitors is a round trip to the server under Wine, and the popup asks
// at every opening.
struct MonitorPlace {
    RECT bounds;
    int dpi;
};
MonitorPlace MonitorAt(POINT point);
// The DPI a window is drawn at: that of its monitor, for this program.
int DpiOf(HWND window);
// GetSystemMetrics as it would answer at `dpi`.
int MetricForDpi(int index, int dpi);
// AdjustWindowRectEx at `dpi`.
void AdjustRectForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, int dpi);

}  // namespace jumpnest
