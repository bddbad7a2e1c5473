#include "trigger/gestures_win.h"

#include <windows.h>

#include <shellapi.h>

#include "core/encoding_win.h"
#include "core/environment_win.h"
#include "core/globals.h"
#include "core/trace_win.h"
#include "trigger/hooks_win.h"
#include "ui/config/design_builder_win.h"
#include "ui/config/main_window_win.h"
#include "ui/popup/menu_window_win.h"

namespace jumpnest {

namespace {

// Input the hooks have not seen for this long counts as missed. Generous:
// a hook runs a moment after the input it reports.
constexpr std::uint32_t kMissedInputGraceMs = 1000;

}  // namespace

void OnTrigger(ScreenPoint point) {
    MainWindow& config = frmMain();
    if (config.entries().empty()) {
        config.Show();
        Trace("trigger: no entries, configuration window");
        return;
    }
    const double twipsPerPixel = ScreenTwipsPerPixel();
    const MenuOrigin origin = MenuOriginFor(point, twipsPerPixel, twipsPerPixel);
    gMenuLeft = origin.left;
    gMenuTop = origin.top;
    Trace("trigger at " + std::to_string(point.x) + "," + std::to_string(point.y));
    ShowMenu(point);
}

void OnExplore() {
    Trace("explore: " + gPersonalFolder);
    ::ShellExecuteW(gDesktopWnd, L"explore", Widen(gPersonalFolder).c_str(), L"", L"",
                    SW_SHOWNORMAL);
}

bool CheckHooks() {
    LASTINPUTINFO input{};
    input.cbSize = sizeof(input);
    if (!::GetLastInputInfo(&input)) return false;
    if (!HooksMissedInput(input.dwTime, LastHookEventTick(), kMissedInputGraceMs)) return false;
    ReinstallHooks();
    return true;
}

}  // namespace jumpnest
