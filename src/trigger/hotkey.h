// The keyboard shortcut that opens the popup, as stored and as Windows
// registers it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace jumpnest {

// What RegisterHotKey takes: the virtual key and its MOD_ flags.
struct Hotkey {
    std::uint32_t virtualKey;
    std::uint32_t modifiers;
    bool operator==(const Hotkey&) const = default;
};

// The stored value is what a hot-key control answers: the virtual key in the
// low byte, its HOTKEYF_ flags in the next. 0, no key, anything outside 16
// bits, and a key without Ctrl or Alt is no shortcut: a plain or shifted key
// would be taken from every program as the user types. Windows' key repeat
// never fires it twice.
std::optional<Hotkey> HotkeyFromControlValue(std::int32_t value);

// What became of a shortcut chosen in place of the registered one.
enum class HotkeyOutcome {
    kTaken,       // registered, or none was chosen
    kStillHeld,   // the stored one, chosen again, is still held by another program
    kHeld,        // another program holds the new one; the old one is registered again
    kOldLost,     // as kHeld, but the old one, let go to try the new one, could not be had back
    kNoShortcut,  // not a shortcut: nothing was tried
};

struct HotkeyChange {
    HotkeyOutcome outcome;
    std::int32_t registered;  // the control value registered afterwards; 0 for none
};

// Registers `chosen` (a control value, 0 for none) in place of `registered`
// through `take` and `release`, which stand for RegisterHotKey and
// UnregisterHotKey. `stored` is the one the user chose before: registered,
// or held by another program since. Both go under one identifier, where
// Windows would keep the old key beside the new one: the old one is let go
// before the new one is tried, and taken again when the new one is refused.
HotkeyChange ReplaceHotkey(std::int32_t registered, std::int32_t stored, std::int32_t chosen,
                           const std::function<bool(const Hotkey&)>& take,
                           const std::function<void(const Hotkey&)>& release);

}  // namespace jumpnest
