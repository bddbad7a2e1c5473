// The icon in the notification area.
#pragma once

#include <windows.h>

#include <string>

#include "core/messages_win.h"

namespace jumpnest {

class TrayIcon {
public:
    TrayIcon() = default;
    ~TrayIcon() { Remove(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Shows the icon with `tip`; true when the shell took it.
    bool Add(HWND owner, HICON icon, const std::wstring& tip);
    void Remove();
    // The icon is wanted in the notification area.
    bool IsShown() const { return owner_ != nullptr; }

    // Explorer restarted and its notification area is new: show the icon again.
    void Restore();

    // The message Explorer broadcasts when its taskbar is created anew.
    static UINT TaskbarCreatedMessage();

private:
    bool Notify(DWORD action);

    HWND owner_ = nullptr;
    HICON icon_ = nullptr;
    std::wstring tip_;
};

}  // namespace jumpnest
