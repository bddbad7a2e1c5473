// The popup's rows under the user's hands: the mouse selects, a release or
// Enter starts, and keys and the actions menu do the rest with an entry
// (start it as administrator, show it in its folder, copy its path).
#include <commctrl.h>
#include <windowsx.h>

#include <utility>

#include "core/encoding_win.h"
#include "core/handle_win.h"
#include "core/trace_win.h"
#include "trigger/launch_win.h"
#include "ui/popup/menu_window_win.h"

namespace jumpnest {

LRESULT CALLBACK MenuWindow::ListProc(HWND hwnd, UINT message, WPARAM wParam,
                                      LPARAM lParam) noexcept {
    auto* menu = reinterpret_cast<MenuWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!menu) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    // The menu of actions runs its loop in here: a request to end that
    // arrives meanwhile waits for it to return.
    const Window::Handling handling;
    const WNDPROC own = menu->listProc_;
    switch (message) {
    case WM_MOUSEMOVE: {
        // A move to where the mouse already was is the system's, made up when
        // the popup appears or its rows scroll under a resting mouse: the row
        // the keys chose stays chosen.
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (at.x == menu->lastMouse_.x && at.y == menu->lastMouse_.y) break;
        menu->lastMouse_ = at;
        menu->rowTip_.Follow(menu->SelectAt(at));
        break;
    }
    case WM_MOUSEHOVER:
        menu->ShowTip();
        break;
    case WM_MOUSELEAVE:
        menu->rowTip_.Follow(-1);
        break;
    // Button presses are kept from the list: its own press handling waits
    // for a drag and would swallow the release that starts the entry.
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        menu->SelectAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        ::SetFocus(hwnd);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        menu->LaunchSelected();
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP: {
        if (message == WM_KEYDOWN && menu->MoveOverHeadings(wParam)) return 0;
        // As they were when this key's message was made, not as they are
        // now; AltGr is Ctrl and Alt (VK_MENU) together.
        const KeyModifiers held{::GetKeyState(VK_CONTROL) < 0, ::GetKeyState(VK_SHIFT) < 0,
                                ::GetKeyState(VK_MENU) < 0};
        const PopupCommand command =
            PopupKeyCommand(static_cast<std::uint32_t>(wParam), message == WM_KEYUP, held);
        if (wParam == VK_RETURN) {
            // Decided at the press: the modifiers may be let go before Enter.
            if (message == WM_KEYDOWN) {
                menu->enter_ = command;
                break;
            }
            menu->Command(std::exchange(menu->enter_, PopupCommand::kStart));
            return 0;
        }
        if (command == PopupCommand::kNone) break;
        menu->Command(command);
        return 0;
    }
    case WM_CONTEXTMENU:  // the menu key or Shift+F10: what to do with the entry
        menu->ShowActions(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    // Typed characters filter; the list's own type-ahead never sees them.
    case WM_CHAR:
        menu->OnCharacter(static_cast<wchar_t>(wParam));
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;
    case WM_NCDESTROY:
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        break;
    default:
        break;
    }
    return ::CallWindowProcW(own, hwnd, message, wParam, lParam);
}

void MenuWindow::LaunchSelected() {
    const int selected = SelectedRow();
    if (selected < 0) return;
    const std::string& target = TargetOf(selected);
    Trace("launch: " + target);
    LaunchTarget(target);
    FadeOut();
}

void MenuWindow::Act(EntryAction action) {
    if (action == EntryAction::kOpen) return LaunchSelected();
    const int selected = SelectedRow();
    if (selected < 0) return;
    const std::string& target = TargetOf(selected);
    Trace("action " + std::to_string(static_cast<int>(action)) + ": " + target);
    if (action == EntryAction::kRunAsAdministrator) LaunchTarget(target, "runas");
    if (action == EntryAction::kOpenFileLocation) OpenFileLocation(target);
    // A copy that could not be made is not passed over in silence.
    if (action == EntryAction::kCopyPath && !CopyToClipboard(hwnd(), target)) {
        ::MessageBeep(MB_ICONWARNING);
    }
    // Done with it, as after a start.
    FadeOut();
}

void MenuWindow::Command(PopupCommand command) {
    switch (command) {
    case PopupCommand::kOpenConfiguration:  // as the corner picture
        if (openConfiguration_) openConfiguration_();
        return FadeOut();
    case PopupCommand::kOpenFileLocation:
        return Act(EntryAction::kOpenFileLocation);
    case PopupCommand::kCopyPath:
        return Act(EntryAction::kCopyPath);
    case PopupCommand::kStart:
        return LaunchSelected();
    case PopupCommand::kStartAsAdministrator:
        return Act(EntryAction::kRunAsAdministrator);
    case PopupCommand::kEscape:  // clears a filter first, and only then closes
        if (typed_.empty()) return Close();
        typed_.clear();
        return ApplyFilter();
    case PopupCommand::kNone:
        return;
    }
}

void MenuWindow::ShowActions(int x, int y) {
    const int selected = SelectedRow();
    if (selected < 0) return;
    if (x == -1 && y == -1) {  // from the keyboard: at the selected row
        RECT row{};
        ListView_GetItemRect(list(), selected, &row, LVIR_LABEL);
        POINT corner{row.left, row.bottom};
        ::ClientToScreen(list(), &corner);
        x = corner.x;
        y = corner.y;
    }
    UniqueMenu menu(::CreatePopupMenu());
    for (int action = 0; action < kEntryActionCount; ++action) {
        const auto caption = Widen(EntryActionCaption(EntryAction(action), options_->language));
        ::AppendMenuW(menu.get(), MF_STRING, static_cast<UINT_PTR>(action + 1), caption.c_str());
    }
    ::SetMenuDefaultItem(menu.get(), 1, FALSE);
    Trace("actions menu");
    const int chosen = static_cast<int>(::TrackPopupMenu(
        menu.get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, x, y, 0, hwnd(), nullptr));
    if (chosen > 0) Act(EntryAction(chosen - 1));
}

}  // namespace jumpnest
