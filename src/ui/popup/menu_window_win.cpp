#include "ui/popup/menu_window_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <memory>

#include "core/encoding_win.h"
#include "core/globals.h"
#include "core/trace_win.h"
#include "store/settings.h"
#include "trigger/launch_win.h"
#include "ui/config/main_window_win.h"

namespace jumpnest {

namespace {

constexpr wchar_t kClassName[] = L"kqrJumpnestMenu";
constexpr UINT_PTR kFadeTimer = 1;   // Timer1
constexpr UINT_PTR kLeaveTimer = 2;  // Timer2
constexpr int kPropPicture = 1;      // "Prop" in the menu pictures

std::unique_ptr<MenuWindow> gMenuWindow;

const WindowDesign& Design() {
    return MenuWindowDesign();
}

const ControlDesign& DesignOf(const char* name, int index = -1) {
    return *FindControl(Design(), name, index);
}

// Windows hands the foreground only to the program the user last gave input
// to; the input that opened us was swallowed by our own hook. Borrowing the
// foreground thread's input state for a moment lets the popup take the
// keyboard as the user expects.
void TakeForeground(HWND window) {
    if (::SetForegroundWindow(window)) return;
    const DWORD foreground = ::GetWindowThreadProcessId(::GetForegroundWindow(), nullptr);
    const DWORD own = ::GetCurrentThreadId();
    if (foreground && foreground != own && ::AttachThreadInput(own, foreground, TRUE)) {
        ::BringWindowToTop(window);
        ::SetForegroundWindow(window);
        ::AttachThreadInput(own, foreground, FALSE);
    }
}

void SetTransparency(HWND window, int alpha) {
    if (alpha < 0 || alpha > 255) return;
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
    if (!(style & WS_EX_LAYERED)) ::SetWindowLongPtrW(window, GWL_EXSTYLE, style | WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(window, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
}

}  // namespace

void ShowMenu(ScreenPoint cursor) {
    if (MenuWindow* open = OpenMenu()) {
        open->Activate();
        return;
    }
    if (PrepareMenu()) gMenuWindow->Open(cursor);
}

bool PrepareMenu() {
    if (gMenuWindow && gMenuWindow->hwnd()) return true;
    gMenuWindow = std::make_unique<MenuWindow>();
    if (gMenuWindow->Load()) return true;
    gMenuWindow.reset();
    return false;
}

void DestroyMenu() {
    gMenuWindow.reset();
}

bool IsMenuOpen() {
    return OpenMenu() != nullptr;
}

MenuWindow* OpenMenu() {
    return gMenuWindow && gMenuWindow->hwnd() && ::IsWindowVisible(gMenuWindow->hwnd())
               ? gMenuWindow.get()
               : nullptr;
}

bool MenuWindow::Load() {
    const double twipsPerPixel = ScreenTwipsPerPixel();
    const WindowStyles styles = StylesFor(Design());
    // Layered and topmost from the start: it must never flash up opaque.
    // Borderless, so the title is never drawn; it names the window for
    // screen readers and tools.
    if (!Create(kClassName, L"Jumpnest menu", styles.style,
                styles.exStyle | WS_EX_LAYERED | WS_EX_TOPMOST, 0, 0,
                TwipsToPixels(Design().clientWidth, twipsPerPixel),
                TwipsToPixels(Design().clientHeight, twipsPerPixel), nullptr)) {
        return false;
    }
    SetTransparency(hwnd(), 0);
    design_.Build(Design(), hwnd(), twipsPerPixel);
    // The labels let the mouse through to the window, which tells title
    // (drag) from the corner (configuration window) itself.
    HWND title = design_.Window("lbl", 0);
    ::SetWindowLongPtrW(title, GWL_STYLE,
                        ::GetWindowLongPtrW(title, GWL_STYLE) & ~LONG_PTR{SS_NOTIFY});
    ::SetWindowTextW(title, Widen("Jumpnest V" + gAppVersionText.substr(0, 3)).c_str());
    // The corner label has no text: it only widens the area over the picture
    // that opens the configuration window, so it must not cover the picture.
    ::ShowWindow(design_.Window("lbl", 1), SW_HIDE);

    HWND listView = list();
    ::SetWindowSubclass(listView, ListProc, 0, reinterpret_cast<DWORD_PTR>(this));
    if (gThemed) {
        using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
        if (const HMODULE uxtheme = ::GetModuleHandleW(L"uxtheme.dll")) {
            if (auto setTheme = reinterpret_cast<SetWindowThemeFn>(
                    reinterpret_cast<void*>(::GetProcAddress(uxtheme, "SetWindowTheme")))) {
                setTheme(listView, L"explorer", nullptr);
            }
        }
    }
    ListView_SetExtendedListViewStyleEx(listView, LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE,
                                        LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 100;
    ListView_InsertColumn(listView, 0, &column);
    return true;
}

void MenuWindow::Open(ScreenPoint cursor) {
    Form_Load(cursor);
}

void MenuWindow::Form_Load(ScreenPoint cursor) {
    MainWindow& config = frmMain();
    HWND listView = list();
    ListView_SetImageList(
        listView, gIconSize == kLargeIcons ? config.imgIcons() : config.imgPopUp(), LVSIL_SMALL);

    // A copy of the configuration window's list as it stands now; the
    // pictures are shared, none is loaded here.
    const std::vector<MenuEntry>& entries = config.entries();
    targets_.clear();
    captions_.clear();
    images_.clear();
    for (size_t i = 0; i < entries.size(); ++i) {
        targets_.push_back(entries[i].target);
        captions_.push_back(Widen(entries[i].caption));
        images_.push_back(config.EntryImage(i));
    }
    ListView_SetItemCountEx(listView, static_cast<int>(entries.size()), LVSICF_NOSCROLL);
    // The window is used again and again: nothing picked, the top in view.
    ListView_SetItemState(listView, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (!entries.empty()) ListView_EnsureVisible(listView, 0, FALSE);

    // The monitor under the cursor decides where the popup may go.
    const double twipsPerPixel = design_.twipsPerPixel();
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromPoint({cursor.x, cursor.y}, MONITOR_DEFAULTTONEAREST), &monitor);
    const TwipsBounds area{PixelsToTwips(monitor.rcWork.left, twipsPerPixel),
                           PixelsToTwips(monitor.rcWork.top, twipsPerPixel),
                           PixelsToTwips(monitor.rcWork.right, twipsPerPixel),
                           PixelsToTwips(monitor.rcWork.bottom, twipsPerPixel)};

    // The height of one row as the list really draws it: with large icons a
    // row is taller than the small-icon spacing the list reports.
    RECT row{};
    const int spacing = ListView_GetItemRect(listView, 0, &row, LVIR_BOUNDS)
                            ? row.bottom - row.top
                            : HIWORD(::SendMessageW(listView, LVM_GETITEMSPACING, TRUE, 0));
    const int height = PopupHeightTwips(static_cast<int>(entries.size()), spacing, twipsPerPixel,
                                        area.bottom - area.top);
    const MenuOrigin origin =
        ClampPopupOrigin({gMenuLeft, gMenuTop}, Design().clientWidth, height, area);
    gMenuLeft = origin.left;
    gMenuTop = origin.top;
    ::SetWindowPos(hwnd(), HWND_TOPMOST, TwipsToPixels(gMenuLeft, twipsPerPixel),
                   TwipsToPixels(gMenuTop, twipsPerPixel),
                   TwipsToPixels(Design().clientWidth, twipsPerPixel),
                   TwipsToPixels(height, twipsPerPixel), SWP_NOACTIVATE);

    RECT client{};
    ::GetClientRect(hwnd(), &client);
    const int lineY = design_.Pixels(DesignOf("Line1").top);
    const PixelRect listRect = PopupListRect(lineY, client.right, client.bottom);
    ::MoveWindow(listView, listRect.left, listRect.top, listRect.right - listRect.left,
                 listRect.bottom - listRect.top, FALSE);
    ListView_SetColumnWidth(
        listView, 0,
        PopupColumnWidth(listRect.right - listRect.left, ::GetSystemMetrics(SM_CXHTHUMB),
                         ::GetSystemMetrics(SM_CXVSCROLL)));

    fade_ = FadeInStart();
    ::SetTimer(hwnd(), kFadeTimer, 10, nullptr);
    ::SetTimer(hwnd(), kLeaveTimer, 1000, nullptr);
    ::ShowWindow(hwnd(), SW_SHOW);
    Activate();
    Trace("popup opened: " + std::to_string(entries.size()) + " entries at " +
          std::to_string(TwipsToPixels(gMenuLeft, twipsPerPixel)) + "," +
          std::to_string(TwipsToPixels(gMenuTop, twipsPerPixel)) + " rows " +
          std::to_string(spacing) + " list " + std::to_string(listRect.top));
}

void MenuWindow::RefreshPictures() {
    const MainWindow& config = frmMain();
    // A popup of another list (it changed while the popup was open) keeps
    // the pictures it has.
    if (config.entries().size() != images_.size()) return;
    for (size_t i = 0; i < images_.size(); ++i) images_[i] = config.EntryImage(i);
    ::InvalidateRect(list(), nullptr, FALSE);
}

void MenuWindow::Activate() {
    TakeForeground(hwnd());
    ::SetFocus(list());
}

void MenuWindow::FadeOut() {
    StartFadeOut(fade_);
    ::SetTimer(hwnd(), kFadeTimer, 10, nullptr);
}

void MenuWindow::Close() {
    // Hidden, not destroyed: making the window and its controls anew took
    // longer than the rest of opening it.
    ::KillTimer(hwnd(), kFadeTimer);
    ::KillTimer(hwnd(), kLeaveTimer);
    ::ShowWindow(hwnd(), SW_HIDE);
    SetTransparency(hwnd(), 0);
    Trace("popup closed");
}

void MenuWindow::LaunchSelected() {
    const int selected = ListView_GetNextItem(list(), -1, LVNI_SELECTED);
    if (selected < 0 || selected >= static_cast<int>(targets_.size())) return;
    Trace("launch: " + targets_[selected]);
    LaunchTarget(targets_[selected]);
    FadeOut();
}

void MenuWindow::SelectAt(POINT inList) {
    LVHITTESTINFO hit{};
    hit.pt = inList;
    const int item = ListView_HitTest(list(), &hit);
    if (item < 0) {
        ListView_SetItemState(list(), -1, 0, LVIS_SELECTED);
    } else if (!(ListView_GetItemState(list(), item, LVIS_SELECTED) & LVIS_SELECTED)) {
        ListView_SetItemState(list(), item, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
    }
}

void MenuWindow::OpenConfiguration() {
    frmMain().Show();
    FadeOut();
}

RECT MenuWindow::ControlRect(const char* name, int index) const {
    const ControlDesign& control = DesignOf(name, index);
    return {design_.Pixels(control.left), design_.Pixels(control.top),
            design_.Pixels(control.left + control.width),
            design_.Pixels(control.top + control.height)};
}

void MenuWindow::Paint() {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(hwnd(), &paint);
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    // The rule under the title and the outline of the whole window.
    HBRUSH border = ::GetSysColorBrush(COLOR_ACTIVEBORDER);
    const int lineY = design_.Pixels(DesignOf("Line1").top);
    RECT rule{0, lineY, client.right, lineY + 1};
    ::FillRect(dc, &rule, border);
    ::FrameRect(dc, &client, border);
    const RECT close = ControlRect("cmdClose");
    ImageList_Draw(frmMain().imgMenu(), kPropPicture, dc, close.left, close.top, ILD_TRANSPARENT);
    ::EndPaint(hwnd(), &paint);
}

LRESULT CALLBACK MenuWindow::ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR self) noexcept {
    auto* menu = reinterpret_cast<MenuWindow*>(self);
    switch (message) {
    case WM_MOUSEMOVE:
        menu->SelectAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
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
    case WM_KEYUP:
        if (wParam == VK_RETURN) {
            menu->LaunchSelected();
            return 0;
        }
        if (wParam == VK_ESCAPE) {
            menu->Close();
            return 0;
        }
        break;
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(hwnd, ListProc, 0);
        break;
    default:
        break;
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT MenuWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kFadeTimer) {
            const FadeTick tick = NextFadeTick(fade_);
            if (tick.applied) SetTransparency(hwnd(), *tick.applied);
            if (tick.stopTimer) ::KillTimer(hwnd(), kFadeTimer);
            if (tick.close) Close();
        } else if (wParam == kLeaveTimer) {
            POINT cursor{};
            RECT window{};
            ::GetCursorPos(&cursor);
            ::GetWindowRect(hwnd(), &window);
            if (CursorLeftPopup({cursor.x, cursor.y},
                                {window.left, window.top, window.right, window.bottom})) {
                FadeOut();
            }
        }
        return 0;
    case WM_NCHITTEST: {
        // The title drags the window as a caption would.
        POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ScreenToClient(hwnd(), &point);
        const RECT title = ControlRect("lbl", 0);
        if (::PtInRect(&title, point)) return HTCAPTION;
        return HTCLIENT;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const RECT corner = ControlRect("lbl", 1);
        const RECT close = ControlRect("cmdClose");
        if (::PtInRect(&corner, point) || ::PtInRect(&close, point)) OpenConfiguration();
        return 0;
    }
    case WM_SETCURSOR: {
        POINT point{};
        ::GetCursorPos(&point);
        ::ScreenToClient(hwnd(), &point);
        const RECT corner = ControlRect("lbl", 1);
        if (LOWORD(lParam) == HTCLIENT && ::PtInRect(&corner, point)) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HELP));
            return TRUE;
        }
        break;
    }
    case WM_KEYUP:
        if (wParam == VK_ESCAPE) Close();
        return 0;
    case WM_NOTIFY: {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
        if (info->hdr.code == LVN_GETDISPINFOW && info->hdr.hwndFrom == list()) {
            const auto row = static_cast<size_t>(info->item.iItem);
            if (row < captions_.size()) {
                if (info->item.mask & LVIF_TEXT) {
                    lstrcpynW(info->item.pszText, captions_[row].c_str(), info->item.cchTextMax);
                }
                if (info->item.mask & LVIF_IMAGE) info->item.iImage = images_[row];
            }
        }
        return 0;
    }
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, DesignColor(kNavy));
        ::SetBkColor(dc, ::GetSysColor(COLOR_MENU));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_MENU));
    }
    case WM_PAINT:
        Paint();
        return 0;
    case WM_DESTROY:
        ::KillTimer(hwnd(), kFadeTimer);
        ::KillTimer(hwnd(), kLeaveTimer);
        return 0;
    default:
        break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace jumpnest
