#include "ui/popup/menu_window_win.h"

#include <commctrl.h>
#include <oleauto.h>
#include <windowsx.h>

#include <algorithm>
#include <memory>
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
#include "trigger/launch_win.h"
#include "ui/popup/fold_win.h"
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

// Whether the thread of `window` takes its messages now: asked with one it
// ignores. A window Windows already counts as hung (no message taken for 5 s)
// is given up at once, one that has just stopped after kAnswerMs; a thread
// that pumps answers within a few milliseconds. SMTO_BLOCK: nothing sent to
// this thread runs meanwhile, in the middle of opening the popup.
bool Answers(HWND window) {
    constexpr UINT kAnswerMs = 100;
    DWORD_PTR ignored = 0;
    return ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kAnswerMs,
                                 &ignored) != 0;
}

// Windows hands the foreground only to the program the user last gave input
// to; the input that opened us was swallowed by our own hook.
void TakeForeground(HWND window) {
    if (!::SetForegroundWindow(window)) BorrowForeground(window);
}

}  // namespace

bool BorrowForeground(HWND window) {
    const HWND foreground = ::GetForegroundWindow();
    const DWORD thread = ::GetWindowThreadProcessId(foreground, nullptr);
    const DWORD own = ::GetCurrentThreadId();
    // Attaching itself never waits for the other thread, but while attached
    // the two threads share one active window, focus and input queue:
    // BringWindowToTop and SetForegroundWindow deactivate the other thread's
    // window by sending it WM_NCACTIVATE, WM_ACTIVATE, WM_KILLFOCUS and
    // WM_ACTIVATEAPP and wait for the answers, and our input waits behind
    // its unread input. A hung program (and the user often reaches for the
    // launcher because one hangs) would hang the popup with it, so it is
    // asked first. A thread that stops in the moments between the answer and
    // the detach still catches us: no call attaches with a time-out.
    if (!thread || thread == own || !Answers(foreground)) return false;
    if (!::AttachThreadInput(own, thread, TRUE)) return false;
    ::BringWindowToTop(window);
    const bool taken = ::SetForegroundWindow(window);
    ::AttachThreadInput(own, thread, FALSE);
    return taken;
}

namespace {

// Says `text` through UI Automation's notification event, which screen
// readers speak at once. Windows 10 1709 and later have it; elsewhere the
// name change alone is what a screen reader hears.
void Announce(HWND window, const std::wstring& text) {
    using HostProvider = HRESULT(WINAPI*)(HWND, IUnknown**);
    using RaiseNotification = HRESULT(WINAPI*)(IUnknown*, int, int, BSTR, BSTR);
    static const UniqueModule uia(
        ::LoadLibraryExW(L"uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (!uia) return;
    const auto host = reinterpret_cast<HostProvider>(
        reinterpret_cast<void*>(::GetProcAddress(uia.get(), "UiaHostProviderFromHwnd")));
    const auto raise = reinterpret_cast<RaiseNotification>(
        reinterpret_cast<void*>(::GetProcAddress(uia.get(), "UiaRaiseNotificationEvent")));
    ComPtr<IUnknown> provider;
    if (!host || !raise || FAILED(host(window, provider.put())) || !provider) return;
    BSTR said = ::SysAllocString(text.c_str()), activity = ::SysAllocString(L"JumpnestFilter");
    constexpr int kOther = 4, kMostRecent = 3;  // NotificationKind, NotificationProcessing
    raise(provider.get(), kOther, kMostRecent, said, activity);
    ::SysFreeString(said);
    ::SysFreeString(activity);
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
    for (size_t row = 0; row < sources_.size(); ++row) {
        if (sources_[row] == index) images_[row] = entries_->Image(index, dpi_);
    }
    ::InvalidateRect(list(), nullptr, FALSE);
}

void MenuWindow::Open(const MonitorPlace& monitor, MenuOrigin wanted) {
    Form_Load(monitor, wanted);
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

void MenuWindow::Form_Load(const MonitorPlace& monitor, MenuOrigin wanted) {
    // Everything is measured for the monitor under the cursor: a popup
    // last shown on another monitor is laid out afresh first.
    if (monitor.dpi != dpi_) UseDpi(monitor.dpi);
    HWND listView = list();
    HIMAGELIST images = entries_->Images(options_->iconSize == kLargeIcons, dpi_);
    ListView_SetImageList(listView, images, LVSIL_SMALL);

    // A copy of the list as it stands now; the pictures are shared, none is
    // loaded here.
    const std::vector<MenuEntry>& entries = entries_->entries();
    generation_ = entries_->generation();
    sources_.clear();
    targets_.clear();
    captions_.clear();
    images_.clear();
    folded_.clear();
    shown_.clear();
    typed_.clear();
    highSurrogate_ = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!entries_->available(i)) continue;
        shown_.push_back(sources_.size());
        sources_.push_back(i);
        targets_.push_back(entries[i].target);
        captions_.push_back(Widen(entries[i].caption));
        images_.push_back(entries_->Image(i, dpi_));
    }
    const int rows = static_cast<int>(sources_.size());
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
    Trace("popup opened: " + std::to_string(rows) + " entries at " + std::to_string(left) + "," +
          std::to_string(top) + " rows " + std::to_string(spacing) + " list " +
          std::to_string(listRect.top) + " dpi " + std::to_string(dpi_) + " icons " +
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
    Trace("popup closed");
}

int MenuWindow::SelectedRow() const {
    // "No match" leaves no entry shown: its row is none.
    const int row = ListView_GetNextItem(list(), -1, LVNI_SELECTED);
    return row >= 0 && row < static_cast<int>(shown_.size()) ? row : -1;
}

const std::string& MenuWindow::TargetOf(int row) const {
    return targets_[shown_[static_cast<size_t>(row)]];
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

void MenuWindow::OnCharacter(wchar_t character) {
    if (character == L'\b') {
        if (typed_.empty()) return;
        RemoveLastCharacter(typed_);
    } else if (character >= 0xD800 && character <= 0xDBFF) {
        highSurrogate_ = character;  // the second half follows
        return;
    } else if (character >= 0xDC00 && character <= 0xDFFF) {
        if (!highSurrogate_) return;
        typed_ += Narrow(std::wstring{highSurrogate_, character});
    } else if (character >= L' ' && character != 0x7F) {
        typed_ += Narrow(std::wstring(1, character));
    } else {
        return;  // Enter, Escape, Tab and Ctrl with a letter act on their keys
    }
    highSurrogate_ = 0;
    ApplyFilter();
}

void MenuWindow::ApplyFilter() {
    // The captions are folded at the first key, not at every opening: most
    // openings end in a click, and folding a long list costs time.
    if (folded_.size() != captions_.size()) {
        folded_.clear();
        inPieces_.clear();
        for (const std::wstring& caption : captions_) {
            const std::string text = Narrow(caption);
            folded_.push_back(FoldCaption(text, FoldForUser));
            inPieces_.push_back(DrawableInPieces(text));
        }
    }
    matches_ = RankEntries(folded_, FoldCaption(typed_, FoldForUser).text);
    rowTip_.Follow(-1);  // the rows change under it
    shown_.clear();
    for (const Match& match : matches_) shown_.push_back(match.entry);
    HWND listView = list();
    // The window keeps its size: nothing moves under the mouse, only the
    // rows change.
    ListView_SetItemCountEx(listView, noMatch() ? 1 : static_cast<int>(shown_.size()),
                            LVSICF_NOSCROLL);
    ListView_SetItemState(listView, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (!typed_.empty() && !shown_.empty()) {
        ListView_SetItemState(listView, 0, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        TellFocus(0);
    }
    if (!shown_.empty()) ListView_EnsureVisible(listView, 0, FALSE);
    ::InvalidateRect(listView, nullptr, TRUE);
    filterTexts_ = true;
    // The title shows the typed text with a caret after it.
    const std::string title = typed_.empty() ? ProgramTitle(gAppVersionText) : typed_ + "|";
    ::SetWindowTextW(design_.Window("lbl", 0), Widen(title).c_str());
    // The window's name says the same to a screen reader; changing it raises
    // the name-change event, and where Windows has them the count is also
    // announced as a notification.
    const std::wstring name =
        Widen(PopupName(options_->language, typed_, shown_.size(), captions_.size()));
    ::SetWindowTextW(hwnd(), name.c_str());
    // Raised here as well: not every system raises it for a window's text
    // (Wine does not).
    ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd(), OBJID_WINDOW, CHILDID_SELF);
    if (!typed_.empty()) Announce(hwnd(), name);
    Trace("filter: \"" + typed_ + "\", " + std::to_string(shown_.size()) + " shown");
}

void MenuWindow::PrepareMatchedRows(HDC dc) {
    // What every row of this paint shares, asked once: the fonts, the text's
    // height, and where the picture and the caption stand within a row.
    HWND listView = list();
    RowLayout& layout = rowLayout_;
    layout.normal = reinterpret_cast<HFONT>(::SendMessageW(listView, WM_GETFONT, 0, 0));
    if (boldFor_ != layout.normal) {
        LOGFONTW font{};
        ::GetObjectW(layout.normal, sizeof(font), &font);
        font.lfWeight = FW_BOLD;
        bold_.reset(::CreateFontIndirectW(&font));
        boldFor_ = layout.normal;
    }
    const HGDIOBJ before = ::SelectObject(dc, layout.normal);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, before);
    layout.textHeight = metrics.tmHeight;
    layout.images = ListView_GetImageList(listView, LVSIL_SMALL);
    int width = 0;
    ImageList_GetIconSize(layout.images, &width, &layout.imageHeight);
    const int row = std::max(ListView_GetTopIndex(listView), 0);
    RECT whole{};
    ListView_GetItemRect(listView, row, &whole, LVIR_BOUNDS);
    ListView_GetItemRect(listView, row, &layout.icon, LVIR_ICON);
    ListView_GetItemRect(listView, row, &layout.label, LVIR_LABEL);
    ::OffsetRect(&layout.icon, 0, -whole.top);
    ::OffsetRect(&layout.label, 0, -whole.top);
    layout.textIndent = MetricForDpi(SM_CXEDGE, dpi_) * 2;
}

bool MenuWindow::DrawMatchedRow(const NMLVCUSTOMDRAW& draw) const {
    const auto row = static_cast<int>(draw.nmcd.dwItemSpec);
    if (row < 0 || static_cast<size_t>(row) >= matches_.size()) return true;
    const Match& match = matches_[static_cast<size_t>(row)];
    const std::wstring& caption = captions_[match.entry];
    // Each piece is laid out on its own: Arabic would lose its joined
    // letters, Hebrew its order, a mark its letter. Such a caption is left
    // to the list, drawn whole as when nothing is typed, without bold.
    if (!inPieces_[match.entry]) return false;
    const RowLayout& layout = rowLayout_;
    HWND listView = list();
    HDC dc = draw.nmcd.hdc;
    const bool selected = ListView_GetItemState(listView, row, LVIS_SELECTED) & LVIS_SELECTED;
    // Every row is laid out as the first one of the paint, moved down.
    RECT whole{}, icon = layout.icon, label = layout.label;
    ListView_GetItemRect(listView, row, &whole, LVIR_BOUNDS);
    ::OffsetRect(&icon, 0, whole.top);
    ::OffsetRect(&label, 0, whole.top);
    // As the list draws a row: the selection behind the caption, the picture
    // tinted with it.
    ::FillRect(dc, &whole, DesignBrush(dc, palette_.popupRowBackground));
    if (selected) ::FillRect(dc, &label, DesignBrush(dc, palette_.selectedBackground));
    ImageList_DrawEx(layout.images, images_[match.entry], dc, icon.left,
                     icon.top + (icon.bottom - icon.top - layout.imageHeight) / 2, 0, 0, CLR_NONE,
                     selected ? palette_.selectedBackground : CLR_NONE,
                     ILD_TRANSPARENT | (selected ? ILD_BLEND50 : 0));
    // The caption in pieces: the matched letters in bold.
    const HGDIOBJ before = ::SelectObject(dc, layout.normal);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, selected ? palette_.selectedText : palette_.popupRowText);
    const int y = label.top + (label.bottom - label.top - layout.textHeight) / 2;
    int x = label.left + layout.textIndent;
    struct Piece {
        std::uint32_t begin, end;
        HGDIOBJ font;
        int width;
    };
    const auto width = [&](HGDIOBJ font, std::uint32_t begin, std::uint32_t length) {
        ::SelectObject(dc, font);
        SIZE extent{};
        ::GetTextExtentPoint32W(dc, caption.data() + begin, static_cast<int>(length), &extent);
        return static_cast<int>(extent.cx);
    };
    std::vector<Piece> pieces;
    std::uint32_t at = 0;
    int needed = 0;
    const auto add = [&](std::uint32_t end, bool matched) {
        end = std::min<std::uint32_t>(end, static_cast<std::uint32_t>(caption.size()));
        if (end > at) {
            const HGDIOBJ font = matched ? bold_.get() : layout.normal;
            pieces.push_back({at, end, font, width(font, at, end - at)});
            needed += pieces.back().width;
        }
        at = std::max(at, end);
    };
    for (const auto& [begin, end] : match.ranges) {
        add(begin, false);
        add(end, true);
    }
    add(static_cast<std::uint32_t>(caption.size()), false);
    // A caption too long for its row ends in the list's "..." after the
    // letters that fit, each piece measured in its own font. Cut here rather
    // than left to the list whole: the bold letters in view stay bold, and a
    // long caption is where they help most. Nothing in a caption drawn in
    // pieces joins across a cut, which only keeps surrogate pairs whole.
    constexpr std::wstring_view kEllipsis = L"...";  // as DrawText ends a cut line
    int room = label.right - layout.textIndent - x;
    ::SelectObject(dc, layout.normal);
    SIZE dots{};
    ::GetTextExtentPoint32W(dc, kEllipsis.data(), static_cast<int>(kEllipsis.size()), &dots);
    const bool cut = needed > room;
    if (cut) room -= dots.cx;
    for (const Piece& piece : pieces) {
        auto length = piece.end - piece.begin;
        if (cut) {
            ::SelectObject(dc, piece.font);
            int fit = 0;
            SIZE all{};
            ::GetTextExtentExPointW(dc, caption.data() + piece.begin, static_cast<int>(length),
                                    std::max(room, 0), &fit, nullptr, &all);
            auto fits = static_cast<std::uint32_t>(std::max(fit, 0));
            if (fits > 0 && fits < length && IS_HIGH_SURROGATE(caption[piece.begin + fits - 1])) {
                --fits;
            }
            length = std::min(length, fits);
        }
        const bool complete = length == piece.end - piece.begin;
        const int drawn = complete ? piece.width : width(piece.font, piece.begin, length);
        ::SelectObject(dc, piece.font);
        ::ExtTextOutW(dc, x, y, ETO_CLIPPED, &label, caption.data() + piece.begin, length, nullptr);
        x += drawn;
        room -= drawn;
        if (!complete) {
            ::SelectObject(dc, layout.normal);
            ::ExtTextOutW(dc, x, y, ETO_CLIPPED, &label, kEllipsis.data(),
                          static_cast<UINT>(kEllipsis.size()), nullptr);
            break;
        }
    }
    ::SelectObject(dc, before);
    return true;
}

LRESULT MenuWindow::OnCustomDraw(NMLVCUSTOMDRAW& draw) {
    // While typing filters, the rows are drawn here, with the matched
    // letters in bold; the list still gives each row's text to a screen
    // reader. A row that cannot be drawn so is the list's, as below.
    if (!typed_.empty() && !noMatch()) {
        if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) {
            PrepareMatchedRows(draw.nmcd.hdc);
            return CDRF_NOTIFYITEMDRAW;
        }
        if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
        if (DrawMatchedRow(draw)) return CDRF_SKIPDEFAULT;
    }
    // In light mode and high contrast the list draws its rows itself, as it
    // always did; only "No match" is grey. In dark mode the selected row
    // takes the palette's selection instead of the light theme's.
    if (!noMatch() && !palette_.dark) return CDRF_DODEFAULT;
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
    if (noMatch()) {
        draw.clrText = palette_.grayText;
    } else if (draw.nmcd.uItemState & CDIS_SELECTED) {
        draw.nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
        draw.clrText = palette_.selectedText;
        draw.clrTextBk = palette_.selectedBackground;
    }
    return CDRF_NEWFONT;
}

void MenuWindow::SetPalette(const Palette& palette) {
    paletteGiven_ = true;
    ApplyPalette(palette);
}

void MenuWindow::ApplyPalette(const Palette& palette) {
    palette_ = palette;
    if (!hwnd()) return;
    HWND listView = list();
    ListView_SetBkColor(listView, palette_.popupRowBackground);
    ListView_SetTextBkColor(listView, palette_.popupRowBackground);
    ListView_SetTextColor(listView, palette_.popupRowText);
    UseDarkControls(listView, palette_.dark);
    ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

int MenuWindow::SelectAt(POINT inList) {
    LVHITTESTINFO hit{};
    hit.pt = inList;
    const int item = noMatch() ? -1 : ListView_HitTest(list(), &hit);
    if (item < 0) {
        // Cleared only when something is selected: the mouse moves over the
        // space around the rows often, and clearing draws.
        if (ListView_GetSelectedCount(list()) > 0) {
            ListView_SetItemState(list(), -1, 0, LVIS_SELECTED);
        }
    } else if (!(ListView_GetItemState(list(), item, LVIS_SELECTED) & LVIS_SELECTED)) {
        ListView_SetItemState(list(), item, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        TellFocus(item);
    }
    return item;
}

void MenuWindow::ShowTip() {
    const int row = rowTip_.row();
    if (row < 0 || row >= static_cast<int>(shown_.size()) || !IsOpen()) return;
    rowTip_.Show(Widen(TargetOf(row)), dpi_);
}

void MenuWindow::TellFocus(int row) const {
    // A screen reader says the row that has the focus. The list raises the
    // event itself on Windows; raised here as well, as not every system's
    // list does (Wine's does not).
    if (::GetFocus() == list()) ::NotifyWinEvent(EVENT_OBJECT_FOCUS, list(), OBJID_CLIENT, row + 1);
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

LRESULT CALLBACK MenuWindow::ListProc(HWND hwnd, UINT message, WPARAM wParam,
                                      LPARAM lParam) noexcept {
    auto* menu = reinterpret_cast<MenuWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!menu) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    // The menu of actions runs its loop in here: a request to end that
    // arrives meanwhile waits for it to return.
    const Window::Handling handling;
    const WNDPROC own = menu->listProc_;
    switch (message) {
    case WM_MOUSEMOVE:
        menu->rowTip_.Follow(menu->SelectAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
        break;
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
        } else if (row < shown_.size()) {
            const size_t entry = shown_[row];
            if (info->item.mask & LVIF_TEXT) {
                lstrcpynW(info->item.pszText, captions_[entry].c_str(), info->item.cchTextMax);
            }
            if (info->item.mask & LVIF_IMAGE) info->item.iImage = images_[entry];
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
