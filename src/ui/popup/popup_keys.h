// What a key does in the open popup: a pure decision on the key and the
// modifiers held at its message, so that a keyboard with AltGr is judged
// the same in tests as on the desk.
#pragma once

#include <cstdint>

namespace jumpnest {

// Virtual keys the popup acts on (their Windows values).
inline constexpr std::uint32_t kVkReturn = 0x0D;
inline constexpr std::uint32_t kVkEscape = 0x1B;
inline constexpr std::uint32_t kVkF2 = 0x71;

// The modifiers as GetKeyState says at the key's message. AltGr reaches
// programs as Ctrl and Alt together.
struct KeyModifiers {
    bool ctrl = false, shift = false, alt = false;
};

enum class PopupCommand {
    kNone,                  // not the popup's: the list moves, a character filters
    kOpenConfiguration,     // F2, as the corner picture
    kOpenFileLocation,      // Ctrl+Shift+E
    kCopyPath,              // Ctrl+C
    kStart,                 // Enter
    kStartAsAdministrator,  // Ctrl+Shift+Enter
    kEscape,                // clears the filter, or closes the popup
};

// The command of a key pressed (`released` false) or released. Enter acts at
// its release as its press decided: the press answers kStart or
// kStartAsAdministrator for the window to keep, the release kNone. Escape
// acts at its release. A chord with Ctrl acts only with Alt up: Ctrl+Alt is
// AltGr, and AltGr+C types "ć" on a Polish keyboard, which must reach the
// filter.
PopupCommand PopupKeyCommand(std::uint32_t key, bool released, KeyModifiers held);

}  // namespace jumpnest
