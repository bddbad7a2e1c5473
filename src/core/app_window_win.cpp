#include "core/app_window_win.h"

#include "core/encoding_win.h"
#include "core/instance.h"
#include "core/instance_win.h"
#include "core/paths.h"
#include "core/trace_win.h"
#include "trigger/hooks_win.h"

namespace jumpnest {

bool AppWindow::Create(std::string_view exeName) {
    // Never shown; WS_EX_TOOLWINDOW keeps it off the taskbar and Alt+Tab
    // should anything ever show it.
    return Window::Create(Widen(InstanceWindowClass(exeName)), Widen(kAppTitle), WS_OVERLAPPED,
                          WS_EX_TOOLWINDOW, 0, 0, 0, 0, nullptr);
}

namespace {
constexpr UINT_PTR kWatchdogTimer = 1;
}  // namespace

void AppWindow::StartWatchdog(unsigned intervalMs) {
    ::SetTimer(hwnd(), kWatchdogTimer, intervalMs, nullptr);
}

LRESULT AppWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == ComeForwardMessage()) {
        Trace("come forward");
        if (onComeForward) onComeForward();
        return 0;
    }
    switch (message) {
    case kTriggerMessage:
        if (onTrigger) {
            onTrigger(static_cast<int>(static_cast<INT_PTR>(wParam)), static_cast<int>(lParam));
        }
        return 0;
    case kExploreMessage:
        if (onExplore) onExplore();
        return 0;
    case WM_TIMER:
        if (wParam == kWatchdogTimer && onWatchdog) onWatchdog();
        return 0;
    case WM_CLOSE:
        ::DestroyWindow(hwnd());
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return Window::HandleMessage(message, wParam, lParam);
    }
}

}  // namespace jumpnest
