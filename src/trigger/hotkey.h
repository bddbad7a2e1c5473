// The keyboard shortcut that opens the popup, as stored and as Windows
// registers it.
#pragma once

#include <cstdint>
#include <optional>

namespace jumpnest {

// What RegisterHotKey takes: the virtual key and its MOD_ flags.
struct Hotkey {
    std::uint32_t virtualKey;
    std::uint32_t modifiers;
    bool operator==(const Hotkey&) const = default;
};

// The stored value is what a hot-key control answers: the virtual key in the
// low byte, its HOTKEYF_ flags in the next. 0, no key, or anything outside
// 16 bits is no shortcut. Windows' key repeat never fires it twice.
std::optional<Hotkey> HotkeyFromControlValue(std::int32_t value);

}  // namespace jumpnest
