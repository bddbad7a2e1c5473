#include "ui/config/main_window_win.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "core/dpi_win.h"
#include "core/encoding_win.h"
#include "core/globals.h"
#include "core/paths.h"
#include "core/scale.h"
#include "core/trace_win.h"
#include "core/version.h"
#include "store/entry_store_win.h"
#include "store/file_security_win.h"
#include "store/settings_win.h"
#include "trigger/launch_win.h"
#include "ui/config/main_window_parts_win.h"
#include "ui/text/appearance_win.h"
#include "ui/text/captions.h"

namespace jumpnest {

using namespace config_window;

namespace {

constexpr wchar_t kClassName[] = L"kqrJumpnestConfig";

std::string SystemReason(DWORD error, std::int32_t language) {
    if (error == kErrorFileOfAnotherUser) return std::string(FileOfAnotherUserReason(language));
    if (error == kErrorUnsafeEntryFile) return std::string(UnsafeEntryFileReason(language));
    return SystemErrorText(error);
}

// Centred on the primary screen.
void CenterForm(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    ::SetWindowPos(window, nullptr, CenteredOrigin(::GetSystemMetrics(SM_CXSCREEN), width),
                   CenteredOrigin(::GetSystemMetrics(SM_CYSCREEN), height), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The help link takes the keyboard focus as a button does: Tab reaches it,
// it shows a focus rectangle around its text while it has the focus, and
// Enter or Space follows it as a click does. The static control's own
// procedure is kept in its user data.
LRESULT CALLBACK LinkProc(HWND link, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto own = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(link, GWLP_USERDATA));
    switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        ::InvalidateRect(link, nullptr, TRUE);
        break;
    case WM_GETDLGCODE: {
        // Enter is the focused link's, not the default button's.
        const MSG* key = reinterpret_cast<const MSG*>(lParam);
        if (key && key->message == WM_KEYDOWN && wParam == VK_RETURN) return DLGC_WANTMESSAGE;
        break;
    }
    case WM_KEYDOWN:
        if (wParam != VK_RETURN && wParam != VK_SPACE) break;
        ::SendMessageW(::GetParent(link), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(link), STN_CLICKED),
                       reinterpret_cast<LPARAM>(link));
        return 0;
    case WM_PAINT: {
        const LRESULT painted = ::CallWindowProcW(own, link, message, wParam, lParam);
        if (::GetFocus() != link) return painted;
        wchar_t text[256] = {};
        const int length = ::GetWindowTextW(link, text, 256);
        const HDC dc = ::GetDC(link);
        const HGDIOBJ font =
            ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(link, WM_GETFONT, 0, 0)));
        RECT around{};
        ::DrawTextW(dc, text, length, &around, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        RECT client{};
        ::GetClientRect(link, &client);
        around.right = std::min(around.right + 2, client.right);
        around.bottom = std::min(around.bottom + 1, client.bottom);
        ::DrawFocusRect(dc, &around);
        ::SelectObject(dc, font);
        ::ReleaseDC(link, dc);
        return painted;
    }
    case WM_NCDESTROY:
        ::SetWindowLongPtrW(link, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
        ::SetWindowLongPtrW(link, GWLP_USERDATA, 0);
        break;
    default:
        break;
    }
    return ::CallWindowProcW(own, link, message, wParam, lParam);
}

}  // namespace

bool MainWindow::Load(EntryList& list, const Store& store, Options& options,
                      MainWindowLinks links) {
    entries_ = common_ = &list;
    shownProgram_.clear();
    store_ = &store;
    options_ = &options;
    links_ = std::move(links);
    // Made at the system's scale, then laid out again for the monitor the
    // window turns out to be on, and again whenever it moves to another.
    dpi_ = SystemDpi();
    const double twipsPerPixel = TwipsPerPixel(dpi_);
    const WindowStyles styles = StylesFor(Design());
    if (!Create(kClassName, Widen(Design().caption).c_str(), styles.style, styles.exStyle,
                CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr)) {
        return false;
    }
    BuildMenu();
    // The client area is fixed by the design; the frame is what the system
    // adds to it for this style and menu bar.
    const SIZE frame = FrameSizeFor(Design(), dpi_);
    ::SetWindowPos(hwnd(), nullptr, 0, 0, frame.cx, frame.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    design_.Build(Design(), hwnd(), twipsPerPixel);
    LoadPictures();
    if (!paletteGiven_) palette_ = SystemPalette();
    dropTarget_ = std::make_unique<FileDropTarget>(
        [this](const std::vector<std::string>& paths) { AddFiles(paths); });
    dropRegistered_ = ::RegisterDragDrop(Control("lvwMenu"), dropTarget_.get()) == S_OK;
    ListenTo(list);
    if (store.programs) {
        store.programs->Listen([this] { OnProgramListsChanged(); });
        for (const auto& program : store.programs->programs()) ListenTo(program->list);
    }
    Form_Load();
    return true;
}

void MainWindow::Close() {
    exclusions_.Close();
    programLists_.Close();
    if (dropRegistered_) {
        ::RevokeDragDrop(Control("lvwMenu"));
        dropRegistered_ = false;
    }
    if (hwnd()) SetTopmost(hwnd(), false);
    Destroy();  // with it its menu bar, controls and tooltip
}

void MainWindow::UseDpi(int dpi) {
    if (dpi != dpi_) design_.Rescale(Design(), TwipsPerPixel(dpi));
    dpi_ = dpi;
    LoadPictures();
    HWND list = Control("lvwMenu");
    // One column that leaves room for a vertical scroll bar, so that no
    // horizontal one is ever needed.
    RECT listRect{};
    ::GetWindowRect(list, &listRect);
    ListView_SetColumnWidth(
        list, 0,
        (listRect.right - listRect.left) - (MetricForDpi(SM_CXHTHUMB, dpi) +
                                            MetricForDpi(SM_CXVSCROLL, dpi) + ScaleForDpi(6, dpi)));
    ListView_SetImageList(list, entries_->Images(true, dpi), LVSIL_NORMAL);
    ListView_SetImageList(list, entries_->Images(true, dpi), LVSIL_SMALL);
    RefreshList(std::max(SelectedIndex(), 0));
    ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    Trace("configuration window at " + std::to_string(dpi) + " dpi");
}

void MainWindow::Form_Load() {
    ApplyLanguage();
    CenterForm(hwnd());
    ::SetWindowTextW(hwnd(), Widen(ProgramTitle(gAppVersionText)).c_str());

    HWND list = Control("lvwMenu");
    SetExplorerTheme(list);
    ListView_SetExtendedListViewStyleEx(list, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    rowTip_.Create(hwnd(), list);
    listTipActive_ = true;
    HWND link = Control("lblURL", 1);
    ::SetWindowLongPtrW(link, GWL_STYLE, ::GetWindowLongPtrW(link, GWL_STYLE) | WS_TABSTOP);
    ::SetWindowLongPtrW(
        link, GWLP_USERDATA,
        ::SetWindowLongPtrW(link, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LinkProc)));
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    ListView_InsertColumn(list, 0, &column);
    // Centred on the primary monitor, whose scale may since have changed
    // from the one the system started with: the frame is made for that
    // monitor's scale too, and centred again.
    const int dpi = DpiOf(hwnd());
    if (dpi != dpi_) {
        const SIZE frame = FrameSizeFor(Design(), dpi);
        ::SetWindowPos(hwnd(), nullptr, 0, 0, frame.cx, frame.cy,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        CenterForm(hwnd());
    }
    UseDpi(dpi);
    ShowOptions();
    PaintWindowWith(hwnd(), palette_);
    SetTopmost(hwnd(), true);
}

void MainWindow::Show() {
    // Entries found away are asked after again: the window greys only
    // those still away.
    entries_->Recheck();
    ::ShowWindow(hwnd(), SW_SHOWNORMAL);
    ShowStartWithWindows();
    ::SetForegroundWindow(hwnd());
    Trace("configuration window shown");
}

void MainWindow::Hide() {
    rowTip_.Follow(-1);
    ::ShowWindow(hwnd(), SW_HIDE);
}

bool MainWindow::IsShown() const {
    return ::IsWindowVisible(hwnd()) != FALSE;
}

bool MainWindow::PreTranslate(MSG& message) {
    if (exclusions_.PreTranslate(message) || programLists_.PreTranslate(message)) return true;
    if (!hwnd() || (message.hwnd != hwnd() && !::IsChild(hwnd(), message.hwnd))) return false;
    FollowMouseOverList(message);
    if (accelerators_ && ::TranslateAcceleratorW(hwnd(), accelerators_.get(), &message)) {
        return true;
    }
    return ::IsDialogMessageW(hwnd(), &message) != FALSE;
}

void MainWindow::RunCommand(Command command) {
    // The one table from a command to what it does, for menu items, buttons,
    // boxes and the link alike.
    struct Handler {
        Command command;
        void (*run)(MainWindow& window);
    };
    static constexpr Handler kHandlers[] = {
        {Command::kOptions, [](MainWindow& w) { w.Show(); }},
        {Command::kExit, [](MainWindow& w) { w.QueryClose(CloseReason::FromCode); }},
        {Command::kAddEntry, [](MainWindow& w) { w.AddEntries(); }},
        {Command::kRename, [](MainWindow& w) { w.RenameSelected(); }},
        {Command::kEntryUp, [](MainWindow& w) { w.MoveSelected(-1); }},
        {Command::kEntryDown, [](MainWindow& w) { w.MoveSelected(+1); }},
        {Command::kRemove, [](MainWindow& w) { w.RemoveSelected(); }},
        {Command::kEnglish, [](MainWindow& w) { w.mnuLanguage_Click(kEnglish); }},
        {Command::kGerman, [](MainWindow& w) { w.mnuLanguage_Click(kGerman); }},
        {Command::kFrench, [](MainWindow& w) { w.mnuLanguage_Click(kFrench); }},
        {Command::kSpanish, [](MainWindow& w) { w.mnuLanguage_Click(kSpanish); }},
        {Command::kApply, [](MainWindow& w) { w.Apply(); }},
        {Command::kCancel, [](MainWindow& w) { w.Cancel(); }},
        // Options act at once on the values in force; Apply stores them.
        {Command::kShowInSysTray, [](MainWindow& w) { w.OnOption(Command::kShowInSysTray); }},
        {Command::kExplorer, [](MainWindow& w) { w.OnOption(Command::kExplorer); }},
        {Command::kSmallMenuIcons, [](MainWindow& w) { w.OnOption(Command::kSmallMenuIcons); }},
        {Command::kLargeMenuIcons, [](MainWindow& w) { w.OnOption(Command::kLargeMenuIcons); }},
        {Command::kHelpPage, [](MainWindow& w) { w.OpenHelp(); }},
        {Command::kExclusions,
         [](MainWindow& w) {
             w.exclusions_.Open(w.hwnd(),
                                w.links_.chordOptions ? w.links_.chordOptions() : ChordOptions{},
                                w.options_->language, w.links_.applyChordOptions);
         }},
        {Command::kProgramLists, [](MainWindow& w) { w.OpenProgramLists(); }},
        {Command::kMoveBesideProgram, [](MainWindow& w) { w.KeepEverythingBesideProgram(); }},
    };
    for (const Handler& handler : kHandlers) {
        if (handler.command == command) {
            handler.run(*this);
            return;
        }
    }
}

void MainWindow::OnCommand(int id, int code, HWND control) {
    // A control's command comes from its design; a menu item's or an
    // accelerator's identifier is its command.
    if (const BuiltControl* built = control ? design_.FindById(id) : nullptr) {
        const ControlDesign& design = *built->design;
        const bool clicked =
            design.kind == ControlKind::Label ? code == STN_CLICKED : code == BN_CLICKED;
        if (!clicked) return;
        if (TraceEnabled()) {
            Trace("click: " + std::string(design.name) + "(" + std::to_string(design.index) + ")");
        }
        RunCommand(design.command);
        return;
    }
    if (control) return;
    const Command command = static_cast<Command>(id);
    if (TraceEnabled()) Trace("menu: " + MenuPlace(command));
    RunCommand(command);
}

void MainWindow::OpenHelp() {
    const std::string page = gAppPath + std::string(HelpPageName(options_->language));
    Trace("help: " + page);
    LaunchTarget(page);
}

void MainWindow::ReportWriteFailure(const std::string& file, DWORD error, bool options) {
    Trace("apply failed: " + file);
    const std::int32_t language = options_->language;
    const std::string reason = SystemReason(error, language);
    const std::string text = options ? OptionsNotStoredMessage(language, file, reason)
                                     : WriteFailedMessage(language, file, reason);
    ::MessageBoxW(hwnd(), Widen(text).c_str(), L"Jumpnest", MB_OK | MB_ICONERROR);
}

void MainWindow::OfferChangedList(const std::string& file) {
    Trace("apply refused: the list was changed elsewhere");
    // No is the default: Enter pressed on the way must not throw the edits away.
    const int answer =
        ::MessageBoxW(hwnd(), Widen(ListChangedElsewhereQuestion(options_->language, file)).c_str(),
                      L"Jumpnest", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
    if (answer != IDYES || Ending()) return;
    // The common file goes into the common list, whichever list is shown.
    LoadEntries(*store_, *common_);
    Trace("loaded the list changed elsewhere");
}

bool MainWindow::Apply() {
    // Read before anything is written: a message box below runs a loop of
    // its own, and a request to end that arrives in it ends this Apply.
    const bool startWithWindows = IsChecked(Control("chkOption", 0));
    // The list and the options are saved whatever becomes of the shortcut:
    // a shortcut that cannot be written must not cost the user the edits.
    const SaveOutcome saved = SaveSettings(*store_, *common_, *options_);
    // The file that failed, the common one unless the outcome names another.
    const std::string listFile = saved.listFile.empty() ? gIniFile : saved.listFile;
    if (saved.list == kErrorEntryFileChanged) {
        OfferChangedList(listFile);
        return false;
    }
    if (saved.list) ReportWriteFailure(listFile, saved.list);
    if (saved.options && !Ending()) {
        ReportWriteFailure(gPortable ? gAppPath + std::string(kPortableSettingsName)
                                     : "HKEY_CURRENT_USER\\Software\\" +
                                           std::string(kSettingsApplication) + "\\" +
                                           std::string(kSettingsSection),
                           saved.options, true);
    }
    if (Ending()) return false;
    const bool linked = ApplyStartupLink(startWithWindows);
    if (!saved || !linked) return false;
    Hide();
    if (!shownProgram_.empty()) ShowList("");
    Trace(std::string("applied: start with Windows ") + (startWithWindows ? "1" : "0"));
    return true;
}

void MainWindow::Cancel() {
    // Back to the common list first: reading the lists again may replace
    // the shown one.
    if (!shownProgram_.empty()) ShowList("");
    LoadSettings(*store_, *common_, *options_);
    ShowOptions();
    Hide();
    Trace("cancelled");
}

void MainWindow::QueryClose(CloseReason reason) {
    const CloseDecision decision = DecideClose(reason, links_.popupOpen && links_.popupOpen());
    switch (decision.action) {
    case CloseAction::Hide:
        if (decision.pressCancel) Cancel();
        Hide();
        return;
    case CloseAction::Ask: {
        const std::string title(StripAccelerators(CaptionOf("mnuFile", 2, options_->language)));
        const int answer =
            ::MessageBoxW(hwnd(), Widen(QuitQuestion(options_->language)).c_str(),
                          Widen(title).c_str(), MB_YESNO | MB_ICONQUESTION | MB_SYSTEMMODAL);
        if (answer == IDYES && links_.quit) links_.quit();
        return;
    }
    case CloseAction::QuitAtOnce:
        if (links_.quit) links_.quit();
        return;
    }
}

LRESULT MainWindow::OnControlColor(HDC dc, HWND control) {
    // The help panel has colours of its own, the link its link colour; every
    // other label and box the window's.
    const BuiltControl* built = design_.FindById(::GetDlgCtrlID(control));
    const bool help = built && built->design->backColor;
    const bool link = built && built->design->foreColor && !help;
    const Palette& p = palette_;
    return ControlColors(dc,
                         help   ? p.helpText
                         : link ? p.linkText
                                : p.windowText,
                         help ? p.helpBackground : p.windowBackground);
}

void MainWindow::SetPalette(const Palette& palette) {
    palette_ = palette;
    paletteGiven_ = true;
    if (hwnd()) PaintWindowWith(hwnd(), palette_);
    exclusions_.SetPalette(palette_);
    programLists_.SetPalette(palette_);
}

void MainWindow::KeepEverythingBesideProgram() {
    if (gPortable || !links_.moveBesideProgram) return;
    const MoveOutcome moved = links_.moveBesideProgram();
    if (Ending()) return;
    const std::int32_t language = options_->language;
    const std::string text =
        moved ? MovedBesideProgramMessage(language, gAppPath + std::string(kPortableSettingsName))
              : MoveBesideProgramFailedMessage(language, moved.place,
                                               SystemReason(moved.error, language));
    ::MessageBoxW(hwnd(), Widen(text).c_str(), L"Jumpnest",
                  MB_OK | (moved ? MB_ICONINFORMATION : MB_ICONERROR));
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DPICHANGED: {
        // Moved to a monitor of another scale: the size Windows suggests
        // keeps the client area in proportion.
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        ::SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top,
                       suggested->right - suggested->left, suggested->bottom - suggested->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        UseDpi(HIWORD(wParam));
        return 0;
    }
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lParam), lParam);
    case WM_CONTEXTMENU:  // elsewhere, as on the caption, the system's own
        if (OnContextMenu(reinterpret_cast<HWND>(wParam), lParam)) return 0;
        break;
    case WM_INITMENUPOPUP:
        OnMenuOpening(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_CTLCOLORSTATIC:
        return OnControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_PRINTCLIENT:
        // Themed check boxes and option buttons paint their parent's
        // background behind them through this message.
        FillBackground(hwnd(), reinterpret_cast<HDC>(wParam), palette_.windowBackground);
        return 0;
    case WM_ERASEBKGND:
        FillBackground(hwnd(), reinterpret_cast<HDC>(wParam), palette_.windowBackground);
        return TRUE;
    case DM_GETDEFID:
        return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_NEXTDLGCTL:
        MoveFocus(wParam, lParam);
        return 0;
    case WM_SETCURSOR: {
        const BuiltControl* built =
            design_.FindById(::GetDlgCtrlID(reinterpret_cast<HWND>(wParam)));
        if (built && (built->design->flags & kHandPointer)) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    }
    case WM_SYSCOMMAND:
        // The close box, the window menu and Alt+F4 come this way; a bare
        // WM_CLOSE comes from another program.
        if ((wParam & 0xFFF0) != SC_CLOSE) break;
        QueryClose(CloseReason::CloseBox);
        return 0;
    case WM_CLOSE:
        QueryClose(CloseReason::FromOutside);
        return 0;
    default:
        break;
    }
    return Window::HandleMessage(message, wParam, lParam);
}

}  // namespace jumpnest
