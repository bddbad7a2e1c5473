#include "ui/config/exclusions_window_win.h"

#include <commctrl.h>

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

ExclusionsWindow::ExclusionsWindow()
    : ProgramDialog(ExclusionsWindowDesign(), ExclusionsCaptionTable(), L"kqrJumpnestExclusions",
                    "exclusions", "lvwPrograms") {}

bool ExclusionsWindow::Open(HWND owner, const ChordOptions& current, std::int32_t language,
                            ChordOptionsSink onOk) {
    if (!Build(owner, language)) return hwnd() != nullptr;
    onOk_ = std::move(onOk);
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
        held, Widen(typed ? HotkeyTypesCharacterMessage(language, typed->character, typed->layout)
                          : std::string(HotkeyTakenMessage(language)))
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

    ShowModal();
    return true;
}

std::vector<std::string> ExclusionsWindow::Programs() const {
    HWND list = List();
    std::vector<std::string> programs;
    for (int i = 0, count = ListView_GetItemCount(list); i < count; ++i) {
        wchar_t text[MAX_PATH] = {};
        ListView_GetItemText(list, i, 0, text, MAX_PATH);
        programs.push_back(Narrow(text));
    }
    return programs;
}

void ExclusionsWindow::AddPrograms(const std::vector<std::string>& paths) {
    HWND list = List();
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

void ExclusionsWindow::RemoveSelected() {
    HWND list = List();
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
        if (!failure.empty()) Say(LogonTaskNotSwitchedMessage(language(), wanted, Narrow(failure)));
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
            Say(HotkeyTypesCharacterMessage(language(), typed->character, typed->layout));
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
    Say(outcome == HotkeyOutcome::kNoShortcut ? HotkeyNeedsCtrlOrAltMessage(language())
        : outcome == HotkeyOutcome::kOldLost  ? HotkeyLostMessage(language())
                                              : HotkeyTakenMessage(language()));
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
        const BuiltControl* built = FindById(id);
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
    default:
        return ProgramDialog::HandleMessage(message, wParam, lParam);
    }
}

}  // namespace jumpnest
