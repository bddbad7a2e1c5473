#include "ui/config/exclusions_window_win.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>

#include "core/dpi_win.h"
#include "core/encoding_win.h"
#include "core/trace_win.h"
#include "store/logon_task_win.h"
#include "trigger/keyboard_layout_win.h"
#include "trigger/pass_through.h"
#include "ui/text/appearance_win.h"
#include "ui/text/captions.h"

namespace jumpnest {

namespace {

constexpr wchar_t kClassName[] = L"kqrJumpnestExclusions";

const WindowDesign& Design() {
    return ExclusionsWindowDesign();
}

bool IsProgramFile(const std::string& name) {
    return name.size() > 4 && _stricmp(name.c_str() + name.size() - 4, ".exe") == 0;
}

}  // namespace

bool ExclusionsWindow::Open(HWND owner, const ChordOptions& current, std::int32_t language,
                            ChordOptionsSink onOk) {
    if (hwnd()) {
        ::SetForegroundWindow(hwnd());
        return true;
    }
    owner_ = owner;
    onOk_ = std::move(onOk);
    language_ = language;
    const int dpi = DpiOf(owner);
    const WindowStyles styles = StylesFor(Design());
    const SIZE frame = FrameSizeFor(Design(), dpi);
    // Centred over the configuration window.
    RECT over{};
    ::GetWindowRect(owner, &over);
    if (!Create(kClassName, L"", styles.style, styles.exStyle | WS_EX_TOPMOST,
                (over.left + over.right - frame.cx) / 2, (over.top + over.bottom - frame.cy) / 2,
                frame.cx, frame.cy, owner)) {
        return false;
    }
    // Made afresh for every opening: the controls of the last one are gone.
    design_ = BuiltDesign{};
    design_.Build(Design(), hwnd(), TwipsPerPixel(dpi));
    for (const CaptionRow& row : ExclusionsCaptionTable()) {
        const std::wstring text = Widen(row.text[LanguageColumn(language_)]);
        ::SetWindowTextW(row.control.empty() ? hwnd() : Control(row.control, row.index),
                         text.c_str());
    }
    HWND list = Control("lvwPrograms");
    SetExplorerTheme(list);
    ListView_SetExtendedListViewStyleEx(list, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    ListView_InsertColumn(list, 0, &column);
    FitColumn(dpi);
    AddPrograms(current.programs);
    ::SendMessageW(Control("chkFullScreen"), BM_SETCHECK,
                   current.passFullScreen ? BST_CHECKED : BST_UNCHECKED, 0);
    HWND box = Control("hkyHotkey");
    // No rules of the box's own: its one fixed combination for a plain key
    // would be Ctrl+Alt, which is AltGr on most European layouts.
    ::SendMessageW(box, HKM_SETHOTKEY, static_cast<WPARAM>(current.hotkey), 0);
    storedHotkey_ = current.hotkey;
    if (!layouts_) layouts_ = InstalledKeyboardLayouts;
    // The stored shortcut is shown even while it is not registered: OK
    // without a change keeps it. The note says why: a character it would
    // take (a layout added since it was chosen), or another program.
    HWND held = Control("lblHotkeyHeld");
    const std::optional<Hotkey> stored = HotkeyFromControlValue(current.hotkey);
    const std::vector<KeyboardLayout> layouts = stored ? layouts_() : std::vector<KeyboardLayout>{};
    const std::optional<TypedCharacter> typed =
        stored ? CharacterTypedBy(*stored, layouts) : std::nullopt;
    ::SetWindowTextW(
        held, Widen(typed ? HotkeyTypesCharacterMessage(language_, typed->character, typed->layout)
                          : std::string(HotkeyTakenMessage(language_)))
                  .c_str());
    ::ShowWindow(held, typed || current.hotkeyHeld ? SW_SHOW : SW_HIDE);
    // Offered where the user's own programs cannot replace the program; a
    // task made before is always offered, to be switched off.
    logonTaskOn_ = LogonTaskRegistered();
    const bool offered = logonTaskOn_ || ProgramPlaceProtected();
    ::SendMessageW(Control("chkLogonTask"), BM_SETCHECK, logonTaskOn_ ? BST_CHECKED : BST_UNCHECKED,
                   0);
    ::EnableWindow(Control("chkLogonTask"), offered);
    ::ShowWindow(Control("lblLogonTask"), offered ? SW_HIDE : SW_SHOW);

    dropTarget_ = std::make_unique<FileDropTarget>(
        [this](const std::vector<std::string>& paths) { AddPrograms(paths); });
    dropRegistered_ = ::RegisterDragDrop(list, dropTarget_.get()) == S_OK;
    // Modal to the configuration window, without a loop of its own.
    ::EnableWindow(owner_, FALSE);
    if (!paletteGiven_) palette_ = SystemPalette();
    PaintWindowWith(hwnd(), palette_);
    ::ShowWindow(hwnd(), SW_SHOW);
    ::SetFocus(list);
    Trace("exclusions opened");
    return true;
}

void ExclusionsWindow::Close() {
    if (!hwnd()) return;
    if (dropRegistered_) ::RevokeDragDrop(Control("lvwPrograms"));
    dropRegistered_ = false;
    // The owner takes the keyboard back before this window goes, or Windows
    // would hand the activation to another program.
    ::EnableWindow(owner_, TRUE);
    ::SetActiveWindow(owner_);
    Destroy();
    Trace("exclusions closed");
}

void ExclusionsWindow::SetPalette(const Palette& palette) {
    palette_ = palette;
    paletteGiven_ = true;
    if (hwnd()) PaintWindowWith(hwnd(), palette_);
}

bool ExclusionsWindow::PreTranslate(MSG& message) {
    if (!hwnd() || (message.hwnd != hwnd() && !::IsChild(hwnd(), message.hwnd))) return false;
    return ::IsDialogMessageW(hwnd(), &message) != FALSE;
}

std::vector<std::string> ExclusionsWindow::Programs() const {
    HWND list = Control("lvwPrograms");
    std::vector<std::string> programs;
    for (int i = 0, count = ListView_GetItemCount(list); i < count; ++i) {
        wchar_t text[MAX_PATH] = {};
        ListView_GetItemText(list, i, 0, text, MAX_PATH);
        programs.push_back(Narrow(text));
    }
    return programs;
}

void ExclusionsWindow::AddPrograms(const std::vector<std::string>& paths) {
    HWND list = Control("lvwPrograms");
    std::vector<std::string> programs = Programs();
    for (const std::string& path : paths) {
        const std::string name(FileNameOf(path));
        // Only programs, each once, and none whose name would split the list.
        if (!IsProgramFile(name) || IsListedProgram(programs, name) ||
            name.find(';') != std::string::npos) {
            continue;
        }
        std::wstring text = Widen(name);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = ListView_GetItemCount(list);
        item.pszText = text.data();
        ListView_InsertItem(list, &item);
        programs.push_back(name);
    }
}

void ExclusionsWindow::BrowseForProgram() {
    wchar_t path[MAX_PATH] = {};
    const std::wstring filter = std::wstring(L"*.exe") + L'\0' + L"*.exe" + L'\0' + L'\0';
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = hwnd();
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (::GetOpenFileNameW(&dialog)) AddPrograms({Narrow(path)});
}

void ExclusionsWindow::RemoveSelected() {
    HWND list = Control("lvwPrograms");
    const int selected = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    if (selected < 0) return;
    ListView_DeleteItem(list, selected);
    const int count = ListView_GetItemCount(list);
    if (count > 0) {
        const int next = std::min(selected, count - 1);
        ListView_SetItemState(list, next, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
    }
}

void ExclusionsWindow::FitColumn(int dpi) {
    HWND list = Control("lvwPrograms");
    // From the outer width: the client width shrinks while a scroll bar shows.
    RECT outer{};
    ::GetWindowRect(list, &outer);
    ListView_SetColumnWidth(list, 0,
                            (outer.right - outer.left) - 2 * MetricForDpi(SM_CXEDGE, dpi) -
                                MetricForDpi(SM_CXVSCROLL, dpi));
}

void ExclusionsWindow::Say(std::string_view text) {
    ::MessageBoxW(hwnd(), Widen(text).c_str(),
                  Widen(ExclusionsCaptionTable()[0].text[LanguageColumn(language_)]).c_str(),
                  MB_OK | MB_ICONEXCLAMATION);
}

std::optional<bool> ExclusionsWindow::SwitchLogonTaskAsChosen() {
    HWND box = Control("chkLogonTask");
    const bool wanted = ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (wanted == logonTaskOn_) return std::nullopt;
    const bool before = logonTaskOn_;
    const std::wstring failure = SwitchLogonTask(wanted);
    // What is registered now, whatever the copy with full rights said.
    logonTaskOn_ = LogonTaskRegistered();
    if (hwnd()) {
        ::SendMessageW(box, BM_SETCHECK, logonTaskOn_ ? BST_CHECKED : BST_UNCHECKED, 0);
        if (!failure.empty()) Say(LogonTaskNotSwitchedMessage(language_, wanted, Narrow(failure)));
    }
    return logonTaskOn_ != before ? std::optional<bool>(logonTaskOn_) : std::nullopt;
}

void ExclusionsWindow::Ok() {
    ChordOptions options{Programs(),
                         ::SendMessageW(Control("chkFullScreen"), BM_GETCHECK, 0, 0) == BST_CHECKED,
                         static_cast<std::int32_t>(
                             LOWORD(::SendMessageW(Control("hkyHotkey"), HKM_GETHOTKEY, 0, 0))),
                         false, std::nullopt};
    // A key without Ctrl or Alt is made a shortcut as it is typed; a value
    // set otherwise is still refused here.
    const std::optional<Hotkey> chosen = HotkeyFromControlValue(options.hotkey);
    // A new shortcut that types a character is refused before anything is
    // let go. The stored one, chosen again, stays the user's choice without
    // being registered, as one another program holds.
    if (chosen && options.hotkey != storedHotkey_) {
        if (const auto typed = CharacterTypedBy(*chosen, layouts_())) {
            Trace("hotkey " + std::to_string(options.hotkey) + " refused: types a character");
            Say(HotkeyTypesCharacterMessage(language_, typed->character, typed->layout));
            if (hwnd()) ::SetFocus(Control("hkyHotkey"));
            return;
        }
    }
    HotkeyOutcome outcome = HotkeyOutcome::kNoShortcut;
    if (!options.hotkey || chosen) {
        options.logonTaskSwitched = SwitchLogonTaskAsChosen();
        // The message's own loop may have closed the dialog meanwhile.
        if (!hwnd()) {
            if (options.logonTaskSwitched && onOk_) onOk_(options);
            return;
        }
        outcome = onOk_ ? onOk_(options) : HotkeyOutcome::kTaken;
    }
    if (outcome == HotkeyOutcome::kTaken || outcome == HotkeyOutcome::kStillHeld) {
        if (outcome == HotkeyOutcome::kStillHeld) Trace("hotkey still held by another program");
        Close();
        return;
    }
    // Said here, where the shortcut is set; nothing was taken.
    Trace("hotkey " + std::to_string(options.hotkey) + " refused");
    if (outcome == HotkeyOutcome::kOldLost) ::ShowWindow(Control("lblHotkeyHeld"), SW_SHOW);
    Say(outcome == HotkeyOutcome::kNoShortcut ? HotkeyNeedsCtrlOrAltMessage(language_)
        : outcome == HotkeyOutcome::kOldLost  ? HotkeyLostMessage(language_)
                                              : HotkeyTakenMessage(language_));
    // The message's own loop may have closed the dialog meanwhile.
    if (hwnd()) ::SetFocus(Control("hkyHotkey"));
}

void ExclusionsWindow::MakeShortcutOfPlainKey() {
    HWND box = Control("hkyHotkey");
    const auto typed = static_cast<std::int32_t>(LOWORD(::SendMessageW(box, HKM_GETHOTKEY, 0, 0)));
    if (typed == 0 || (typed & ((HOTKEYF_CONTROL | HOTKEYF_ALT) << 8))) return;
    const std::vector<KeyboardLayout> layouts = layouts_();
    const std::int32_t made = ShortcutForPlainKey(typed, layouts);
    // Setting the box sends no EN_CHANGE of its own: no second round.
    if (made != typed) ::SendMessageW(box, HKM_SETHOTKEY, static_cast<WPARAM>(made), 0);
}

LRESULT ExclusionsWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const BuiltControl* built = design_.FindById(id);
        if (id == IDOK) {
            Ok();
        } else if (id == IDCANCEL) {
            Close();
        } else if (built && built->design->kind == ControlKind::HotKey &&
                   HIWORD(wParam) == EN_CHANGE) {
            // The note is about the stored shortcut, no longer the one shown.
            ::ShowWindow(Control("lblHotkeyHeld"), SW_HIDE);
            MakeShortcutOfPlainKey();
        } else if (built && HIWORD(wParam) == BN_CLICKED) {
            if (built->design->command == Command::kAddProgram) BrowseForProgram();
            if (built->design->command == Command::kRemoveProgram) RemoveSelected();
        }
        return 0;
    }
    case WM_NOTIFY: {
        const auto* key = reinterpret_cast<const NMLVKEYDOWN*>(lParam);
        if (key->hdr.code == LVN_KEYDOWN && key->wVKey == VK_DELETE) RemoveSelected();
        return 0;
    }
    case WM_NEXTDLGCTL:  // a label's access key
        MoveFocus(wParam, lParam);
        return 0;
    case DM_GETDEFID:
        return MAKELRESULT(IDOK, DC_HASDEFID);
    case WM_DPICHANGED: {
        // Moved to a monitor of another scale: the size Windows suggests
        // keeps the client area in proportion.
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        ::SetWindowPos(hwnd(), nullptr, suggested->left, suggested->top,
                       suggested->right - suggested->left, suggested->bottom - suggested->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        const int dpi = HIWORD(wParam);
        design_.Rescale(Design(), TwipsPerPixel(dpi));
        FitColumn(dpi);
        ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        Trace("exclusions at " + std::to_string(dpi) + " dpi");
        return 0;
    }
    case WM_CLOSE:
        Close();
        return 0;
    case WM_CTLCOLORSTATIC:
        return ControlColors(reinterpret_cast<HDC>(wParam), palette_.windowText,
                             palette_.windowBackground);
    case WM_PRINTCLIENT:
    case WM_ERASEBKGND:
        FillBackground(hwnd(), reinterpret_cast<HDC>(wParam), palette_.windowBackground);
        return message == WM_ERASEBKGND;
    default:
        return Window::HandleMessage(message, wParam, lParam);
    }
}

}  // namespace jumpnest
