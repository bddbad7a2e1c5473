#include "ui/config/tray_win.h"

#include <shellapi.h>

namespace jumpnest {

UINT TrayIcon::TaskbarCreatedMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

bool TrayIcon::Notify(DWORD action) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);  // the structure of the systems we run on
    data.hWnd = owner_;
    data.uID = 1;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayMessage;
    data.hIcon = icon_;
    tip_.copy(data.szTip, std::size(data.szTip) - 1);
    return ::Shell_NotifyIconW(action, &data) != FALSE;
}

bool TrayIcon::Add(HWND owner, HICON icon, const std::wstring& tip) {
    owner_ = owner;
    icon_ = icon;
    tip_ = tip;
    // Wanted even when the shell refuses now (at logon its taskbar may not
    // exist yet): the icon is added again when the taskbar announces itself.
    return Notify(NIM_ADD);
}

void TrayIcon::Remove() {
    if (!owner_) return;
    Notify(NIM_DELETE);
    owner_ = nullptr;
}

void TrayIcon::Restore() {
    if (owner_) Notify(NIM_ADD);
}

}  // namespace jumpnest
