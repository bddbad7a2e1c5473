#include "app/app_window_win.h"

#include <dbt.h>

#include "core/encoding_win.h"
#include "core/instance.h"
#include "core/instance_win.h"
#include "core/messages_win.h"
#include "core/paths.h"
#include "core/trace_win.h"
#include "ui/config/tray_win.h"
#include "ui/text/appearance_win.h"

namespace jumpnest {

namespace {
constexpr UINT_PTR kWatchdogTimer = 1;
}  // namespace

bool AppWindow::Create(std::string_view exeName) {
    // Never shown; WS_EX_TOOLWINDOW keeps it off the taskbar and Alt+Tab
    // should anything ever show it.
    return Window::Create(Widen(InstanceWindowClass(exeName)).c_str(), Widen(kAppTitle).c_str(),
                          WS_OVERLAPPED, WS_EX_TOOLWINDOW, 0, 0, 0, 0, nullptr);
}

void AppWindow::StartWatchdog(unsigned intervalMs) {
    ::SetTimer(hwnd(), kWatchdogTimer, intervalMs, nullptr);
}

LRESULT AppWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == ComeForwardMessage()) {
        Trace("come forward");
        events_.OnComeForward();
        return 0;
    }
    if (message == TrayIcon::TaskbarCreatedMessage()) {
        events_.OnTaskbarCreated();
        return 0;
    }
    // Broadcast to every top-level window, this hidden one too: dark or light
    // mode, high contrast or the system colours changed.
    if (IsThemeChangeMessage(message, lParam)) events_.OnThemeChange();
    switch (message) {
    case kTriggerMessage:
        events_.OnTrigger(static_cast<int>(static_cast<INT_PTR>(wParam)), static_cast<int>(lParam));
        return 0;
    case kExploreMessage:
        events_.OnExplore();
        return 0;
    case WM_HOTKEY:
        events_.OnHotkey();
        return 0;
    case kTrayMessage:
        events_.OnTray(LOWORD(lParam));
        return 0;
    case kPicturesMessage:
        events_.OnPictures(wParam, lParam);
        return 0;
    case WM_TIMER:
        if (wParam == kWatchdogTimer) events_.OnWatchdog();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam) events_.OnSessionEnd();
        return 0;
    case WM_CLOSE:
        events_.OnClose();
        return 0;
    case WM_DEVICECHANGE:
        // A USB stick or a drive letter arrived: entries on it may be back.
        if (wParam == DBT_DEVICEARRIVAL) events_.OnDeviceArrival();
        return TRUE;
    default:
        return Window::HandleMessage(message, wParam, lParam);
    }
}

}  // namespace jumpnest
