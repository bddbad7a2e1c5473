#include "ui/popup/menu_window_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <utility>

#include "core/dpi_win.h"
#include "core/encoding_win.h"
#include "core/handle_win.h"
#include "core/globals.h"
#include "core/resource_ids.h"
#include "core/scale.h"
#include "core/trace_win.h"
#include "core/version.h"
#include "store/settings.h"
#include "ui/popup/popup_filter.h"
#include "ui/text/appearance_win.h"
#include "ui/text/captions.h"

namespace jumpnest {

namespace {

constexpr wchar_t kClassName[] = L"kqrJumpnestMenu";
constexpr UINT_PTR kFadeTimer = 1;   // Timer1
constexpr UINT_PTR kLeaveTimer = 2;  // Timer2

const WindowDesign& Design() {
    return MenuWindowDesign();
}

const ControlDesign& DesignOf(const char* name, int index = -1) {
    return *FindControl(Design(), name, index);
}

// Windows hands the foreground only to the program the user last gave input
// to; the input that opened us was swallowed by our own hook.
void TakeForeground(HWND window) {
    if (!::SetForegroundWindow(window)) BorrowForeground(window);
}

void SetTransparency(HWND window, int alpha) {
    if (alpha < 0 || alpha > 255) return;
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_EXSTYLE);
    if (!(style & WS_EX_LAYERED)) ::SetWindowLongPtrW(window, GWL_EXSTYLE, style | WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(window, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
}

// Under Wine with no window manager, the X window of a program that has just
// lost the foreground to the popup can be stacked over it a moment later,
// and keys typed with the mouse over that place go to that program. Taking
// the topmost place again, early in the fade-in and then now and then until
// it ends, puts the popup back on top; on Windows it is already there and
// nothing changes on screen.
bool RetakesTopPlace(const FadeState& fade, int applied) {
    constexpr int kFirstAlpha = 10;  // two ticks in: the other program has had its moment
    constexpr int kEveryAlpha = 40;  // then about every 8 ticks
    return fade.step > 0 && applied >= kFirstAlpha && (applied - kFirstAlpha) % kEveryAlpha == 0;
}

void TakeTopPlace(HWND window) {
    // Setting topmost on a window that is topmost already moves nothing, so
    // the place is let go first.
    constexpr UINT kKeep = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    ::SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, kKeep);
    ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, kKeep);
}

}  // namespace

bool MenuWindow::IsOpen() const {
    return hwnd() && ::IsWindowVisible(hwnd());
}

bool MenuWindow::Load(const EntryList& entries, const Options& options,
                      std::function<void()> openConfiguration) {
    Destroy();
    entries_ = &entries;
    options_ = &options;
    openConfiguration_ = std::move(openConfiguration);
    // Everything of a window that something outside may have destroyed
    // starts afresh: no control of it is kept.
    design_ = BuiltDesign{};
    fade_ = FadeState{};
    textsLanguage_ = -1;
    listPlace_ = {};
    columnWidth_ = -1;
    // Made at the system's scale; every opening lays it out for its monitor.
    dpi_ = SystemDpi();
    const double twipsPerPixel = TwipsPerPixel(dpi_);
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
    // The corner label has no text: it only widens the area over the picture
    // that opens the configuration window, so it must not cover the picture.
    ::ShowWindow(design_.Window("lbl", 1), SW_HIDE);
    // The corner picture is a picture control, so that a screen reader finds
    // it by its name; it lets the mouse through like the labels.
    corner_ = ::CreateWindowExW(0, WC_STATICW, L"", WS_CHILD | WS_VISIBLE | SS_ICON, 0, 0, 0, 0,
                                hwnd(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
    UseDpi(dpi_);

    HWND listView = list();
    // Subclassed the classic way, the popup in the list's user data:
    // comctl32's SetWindowSubclass finds its data as a window property for
    // every message, and under Wine each such lookup is a round trip to the
    // server; the list gets hundreds of messages at every opening.
    ::SetWindowLongPtrW(listView, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    listProc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(listView, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProc)));
    SetExplorerTheme(listView);
    // Windows 11 rounds the corners of its menus; the popup looks like one.
    UseSmallRoundCorners(hwnd());
    constexpr DWORD kListStyle = LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE;
    ListView_SetExtendedListViewStyleEx(listView, kListStyle, kListStyle);
    // A row's tip names its whole target.
    rowTip_.Create(hwnd(), listView);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 100;
    ListView_InsertColumn(listView, 0, &column);
    // The list keeps its listeners for its life: a window made again must
    // not be told every change twice.
    if (!listening_) {
        entries.Listen(
            [this](EntryList::Change change, size_t index) { OnListChanged(change, index); });
        listening_ = true;
    }
    ApplyPalette(paletteGiven_ ? palette_ : SystemPalette());
    return true;
}

UINT MenuWindow::TimerInterval(const char* name) const {
    return static_cast<UINT>(DesignOf(name).extra);
}

void MenuWindow::OnListChanged(EntryList::Change change, size_t index) {
    // Only pictures reach an open popup, and only while its rows are still
    // the list's: a popup of a list edited since keeps what it has.
    if (change != EntryList::Change::kPicture || !IsOpen() ||
        generation_ != entries_->generation()) {
        return;
    }
    for (size_t row = programRows_; row < sources_.size(); ++row) {
        if (sources_[row] == index) images_[row] = entries_->Image(index, dpi_);
    }
    ::InvalidateRect(list(), nullptr, FALSE);
}

void MenuWindow::Open(const MonitorPlace& monitor, MenuOrigin wanted,
                      const ProgramSection& section) {
    Form_Load(monitor, wanted, section);
}

void MenuWindow::Refresh() {
    if (hwnd()) ::InvalidateRect(list(), nullptr, FALSE);
}

void MenuWindow::UseDpi(int dpi) {
    if (dpi != dpi_) {
        // Rescaling places the list anew: the next opening places it again.
        design_.Rescale(Design(), TwipsPerPixel(dpi));
        listPlace_ = {};
        columnWidth_ = -1;
    }
    dpi_ = dpi;
    // The corner shows the "Prop" picture of the configuration window's
    // menu, at that menu's picture size grown with the scale.
    const int pictureSize = FindControl(MainWindowDesign(), "imgMenu")->extra;
    cornerPicture_ = ScaledPicture(IDB_MENU_PROP, ScaleForDpi(pictureSize, dpi));
    const RECT corner = ControlRect("cmdClose");
    ::SendMessageW(corner_, STM_SETICON, reinterpret_cast<WPARAM>(cornerPicture_.get()), 0);
    ::MoveWindow(corner_, corner.left, corner.top, corner.right - corner.left,
                 corner.bottom - corner.top, TRUE);
}

void MenuWindow::Form_Load(const MonitorPlace& monitor, MenuOrigin wanted,
                           const ProgramSection& section) {
    // Everything is measured for the monitor under the cursor: a popup
    // last shown on another monitor is laid out afresh first.
    if (monitor.dpi != dpi_) UseDpi(monitor.dpi);
    HWND listView = list();
    HIMAGELIST images = entries_->Images(options_->iconSize == kLargeIcons, dpi_);
    ListView_SetImageList(listView, images, LVSIL_SMALL);

    typed_.clear();
    highSurrogate_ = 0;
    CopyRows(section);
    const int rows = static_cast<int>(rows_.size());
    // Texts are set only when they are not what the window shows already:
    // it opens again and again with the same ones, and under Wine every text
    // set or asked for is a round trip to the server.
    const std::int32_t language = options_->language;
    if (language != textsLanguage_) {
        // Never drawn: the names a screen reader says for the list and the corner.
        ::SetWindowTextW(listView, Widen(CaptionOf("lvwMenu", -1, language)).c_str());
        ::SetWindowTextW(corner_, Widen(CaptionOf("frmConfig", -1, language)).c_str());
        textsLanguage_ = language;
        filterTexts_ = true;
    }
    if (filterTexts_) {
        // The title and name a filter left are taken back; without a name
        // change when none was left.
        ::SetWindowTextW(design_.Window("lbl", 0), Widen(ProgramTitle(gAppVersionText)).c_str());
        ::SetWindowTextW(hwnd(), Widen(PopupName(language, "", 0, 0)).c_str());
        filterTexts_ = false;
    }
    // The rows are drawn afresh when the window shows; only a count that
    // changed (other entries, or a filter's) is told to the list.
    if (ListView_GetItemCount(listView) != rows) {
        ListView_SetItemCountEx(listView, rows, LVSICF_NOSCROLL);
    }
    // The window is used again and again: nothing picked, the top in view.
    // Asking is cheaper than telling: a list told to clear its selection
    // draws, even when there was none.
    if (ListView_GetSelectedCount(listView) > 0 ||
        ListView_GetNextItem(listView, -1, LVNI_FOCUSED) >= 0) {
        ListView_SetItemState(listView, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    }
    if (rows > 0 && ListView_GetTopIndex(listView) != 0) ListView_EnsureVisible(listView, 0, FALSE);

    // The monitor under the cursor decides where the popup may go.
    const double twipsPerPixel = design_.twipsPerPixel();
    const RECT& screen = monitor.bounds;
    const TwipsBounds area{
        PixelsToTwips(screen.left, twipsPerPixel), PixelsToTwips(screen.top, twipsPerPixel),
        PixelsToTwips(screen.right, twipsPerPixel), PixelsToTwips(screen.bottom, twipsPerPixel)};

    // The height of one row as the list really draws it, with this scale's
    // font and pictures: with large icons a row is taller than the
    // small-icon spacing the list reports.
    RECT row{};
    const int spacing = ListView_GetItemRect(listView, 0, &row, LVIR_BOUNDS)
                            ? row.bottom - row.top
                            : HIWORD(::SendMessageW(listView, LVM_GETITEMSPACING, TRUE, 0));
    const PopupGeometry geometry =
        PopupGeometryFor(dpi_, rows, spacing, screen.bottom - screen.top,
                         MetricForDpi(SM_CXHTHUMB, dpi_), MetricForDpi(SM_CXVSCROLL, dpi_));
    const MenuOrigin origin = ClampPopupOrigin(wanted, PixelsToTwips(geometry.width, twipsPerPixel),
                                               PixelsToTwips(geometry.height, twipsPerPixel), area);
    const int left = TwipsToPixels(origin.left, twipsPerPixel);
    const int top = TwipsToPixels(origin.top, twipsPerPixel);
    // The list moves only when the window's size changed since it last opened.
    const PixelRect& listRect = geometry.list;
    if (listRect != listPlace_) {
        ::MoveWindow(listView, listRect.left, listRect.top, listRect.right - listRect.left,
                     listRect.bottom - listRect.top, FALSE);
        listPlace_ = listRect;
    }
    if (geometry.columnWidth != columnWidth_) {
        ListView_SetColumnWidth(listView, 0, geometry.columnWidth);
        columnWidth_ = geometry.columnWidth;
    }

    int iconSize = 0, iconHeight = 0;
    ImageList_GetIconSize(images, &iconSize, &iconHeight);
    fade_ = FadeInStart();
    ::SetTimer(hwnd(), kFadeTimer, TimerInterval("Timer1"), nullptr);
    ::SetTimer(hwnd(), kLeaveTimer, TimerInterval("Timer2"), nullptr);
    // Placed, sized and shown in one call: under Wine every call that moves
    // or shows a window is a round trip to the server and to X. Activate
    // then takes the foreground.
    ::SetWindowPos(hwnd(), HWND_TOPMOST, left, top, geometry.width, geometry.height,
                   SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Activate();
    // The row under the mouse is chosen now, as the mouse shows it. The move
    // the system makes up for a window that appears under a resting mouse may
    // come after the first keys, and must not take their choice back.
    POINT mouse{};
    ::GetCursorPos(&mouse);
    ::ScreenToClient(listView, &mouse);
    SelectAt(mouse);
    lastMouse_ = mouse;
    Trace("popup opened: " + std::to_string(captions_.size()) + " entries at " +
          std::to_string(left) + "," + std::to_string(top) + " rows " + std::to_string(spacing) +
          " list " + std::to_string(listRect.top) + " dpi " + std::to_string(dpi_) + " icons " +
          std::to_string(iconSize));
}

void MenuWindow::Activate() {
    TakeForeground(hwnd());
    ::SetFocus(list());
}

void MenuWindow::FadeOut() {
    rowTip_.Follow(-1);
    StartFadeOut(fade_);
    ::SetTimer(hwnd(), kFadeTimer, TimerInterval("Timer1"), nullptr);
}

void MenuWindow::Close() {
    // Hidden, not destroyed: making the window and its controls anew took
    // longer than the rest of opening it.
    ::KillTimer(hwnd(), kFadeTimer);
    ::KillTimer(hwnd(), kLeaveTimer);
    rowTip_.Follow(-1);
    ::ShowWindow(hwnd(), SW_HIDE);
    SetTransparency(hwnd(), 0);
    // The program's list is only lent for the opening.
    program_ = nullptr;
    Trace("popup closed");
}

int MenuWindow::SelectedRow() const {
    // "No match" leaves no entry shown, and a heading starts nothing: their
    // row is none.
    const int row = ListView_GetNextItem(list(), -1, LVNI_SELECTED);
    return row >= 0 && row < static_cast<int>(rows_.size()) && !rows_[size_t(row)].heading ? row
                                                                                           : -1;
}

const std::string& MenuWindow::TargetOf(int row) const {
    return targets_[rows_[static_cast<size_t>(row)].entry];
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
    const ControlDesign& line = DesignOf("Line1");
    const int lineY = design_.Pixels(line.top);
    RECT rule{0, lineY, client.right, lineY + 1};
    ::FillRect(dc, &rule, DesignBrush(dc, palette_.popupRule));
    ::FrameRect(dc, &client, DesignBrush(dc, palette_.popupEdge));
    ::EndPaint(hwnd(), &paint);
}

LRESULT MenuWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kFadeTimer) {
            const FadeTick tick = NextFadeTick(fade_);
            if (tick.applied) {
                SetTransparency(hwnd(), *tick.applied);
                if (RetakesTopPlace(fade_, *tick.applied)) TakeTopPlace(hwnd());
            }
            if (tick.stopTimer) ::KillTimer(hwnd(), kFadeTimer);
            if (tick.close) Close();
        } else if (wParam == kLeaveTimer) {
            POINT cursor{};
            RECT window{};
            ::GetCursorPos(&cursor);
            ::GetWindowRect(hwnd(), &window);
            if (CursorLeftPopup({cursor.x, cursor.y},
                                {window.left, window.top, window.right, window.bottom}, dpi_)) {
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
        if (::PtInRect(&corner, point) || ::PtInRect(&close, point)) {
            if (openConfiguration_) openConfiguration_();
            FadeOut();
        }
        return 0;
    }
    case WM_SETCURSOR: {
        if (LOWORD(lParam) != HTCLIENT) break;
        POINT point{};
        ::GetCursorPos(&point);
        ::ScreenToClient(hwnd(), &point);
        for (const ControlDesign& control : MenuWindowDesign().controls) {
            if (!(control.flags & kHelpPointer)) continue;
            const RECT area = ControlRect(control.name.data(), control.index);
            if (::PtInRect(&area, point)) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_HELP));
                return TRUE;
            }
        }
        break;
    }
    case WM_KEYUP:
        if (wParam == VK_ESCAPE) Close();
        return 0;
    // Alt+F4, or another program asking it to close: as Escape, hidden and
    // kept for the next trigger.
    case WM_CLOSE:
        Close();
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) != SC_CLOSE) break;
        Close();
        return 0;
    case WM_NOTIFY: {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
        if (info->hdr.hwndFrom != list()) return 0;
        if (info->hdr.code == NM_CUSTOMDRAW) {
            return OnCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
        }
        if (info->hdr.code != LVN_GETDISPINFOW) return 0;
        const auto row = static_cast<size_t>(info->item.iItem);
        if (noMatch()) {
            const std::wstring text = Widen(std::string(NoMatchText(options_->language)));
            if (info->item.mask & LVIF_TEXT) {
                lstrcpynW(info->item.pszText, text.c_str(), info->item.cchTextMax);
            }
            if (info->item.mask & LVIF_IMAGE) info->item.iImage = I_IMAGENONE;
        } else if (row < rows_.size()) {
            if (info->item.mask & LVIF_TEXT) {
                // Without headings the caption itself, as it always was.
                const std::wstring said = headings_ ? AccessibleText(row) : std::wstring();
                lstrcpynW(info->item.pszText,
                          headings_ ? said.c_str() : captions_[rows_[row].entry].c_str(),
                          info->item.cchTextMax);
            }
            if (info->item.mask & LVIF_IMAGE) {
                info->item.iImage = rows_[row].heading ? I_IMAGENONE : images_[rows_[row].entry];
            }
        }
        return 0;
    }
    case WM_CTLCOLORSTATIC:
        // Both labels share their colours: the title's. The corner picture
        // stands on the window's own ground.
        if (reinterpret_cast<HWND>(lParam) == corner_) {
            return ControlColors(reinterpret_cast<HDC>(wParam), palette_.popupTitleText,
                                 palette_.popupBackground);
        }
        return ControlColors(reinterpret_cast<HDC>(wParam), palette_.popupTitleText,
                             palette_.popupTitleBackground);
    case WM_ERASEBKGND:
        FillBackground(hwnd(), reinterpret_cast<HDC>(wParam), palette_.popupBackground);
        return TRUE;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_DPICHANGED:
        // Every opening lays the popup out for the monitor it opens on;
        // the size Windows suggests for a window moved there is not wanted.
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
