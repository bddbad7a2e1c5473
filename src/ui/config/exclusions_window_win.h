// The small dialog of File > Exclusions and shortcut: the programs the mouse
// chord leaves alone, whether it passes over full-screen programs, and the
// keyboard shortcut that opens the popup. A view of the values it is given;
// OK hands them back, Cancel drops them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "trigger/hotkey.h"
#include "trigger/keyboard_layout.h"
#include "ui/config/program_dialog_win.h"

namespace jumpnest {

struct ChordOptions {
    std::vector<std::string> programs;  // file names, as "mstsc.exe"
    bool passFullScreen = true;
    std::int32_t hotkey = 0;  // as the hot-key control gives it; 0 for none
    // The stored shortcut is held by another program: it does not open the
    // popup, yet stays the user's choice.
    bool hotkeyHeld = false;
    // Set when OK switched starting as administrator at sign-in: on or off.
    std::optional<bool> logonTaskSwitched;
    bool operator==(const ChordOptions&) const = default;
};

// Takes the values the user confirmed and says what became of the shortcut.
// Unless it is kTaken or kStillHeld nothing was taken, and the dialog stays
// open.
using ChordOptionsSink = std::function<HotkeyOutcome(const ChordOptions&)>;

class ExclusionsWindow final : public ProgramDialog {
public:
    ExclusionsWindow();
    ~ExclusionsWindow() override { Close(); }

    // Opens the dialog over `owner`, which it disables until it closes, in
    // the interface language `language`.
    bool Open(HWND owner, const ChordOptions& current, std::int32_t language,
              ChordOptionsSink onOk);
    // Where the dialog learns the user's keyboard layouts; the installed
    // ones unless told otherwise.
    void SetLayoutSource(std::function<std::vector<KeyboardLayout>()> source) {
        layouts_ = std::move(source);
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void AddPrograms(const std::vector<std::string>& paths) override;
    void RemoveSelected();
    void Ok();
    // A key pressed in the shortcut box without Ctrl or Alt becomes a
    // shortcut that types nothing on the user's layouts.
    void MakeShortcutOfPlainKey();
    // Switches the logon task as its box says, when that differs from what
    // is registered; says so when it cannot. The new state, if it changed.
    std::optional<bool> SwitchLogonTaskAsChosen();
    std::vector<std::string> Programs() const;

    ChordOptionsSink onOk_;
    std::int32_t storedHotkey_ = 0;
    bool logonTaskOn_ = false;  // registered, as last asked
    std::function<std::vector<KeyboardLayout>()> layouts_;
};

}  // namespace jumpnest
