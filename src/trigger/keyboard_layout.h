// Whether a shortcut's keys type a character on one of the user's keyboard
// layouts. Windows reports AltGr as Ctrl+Alt, so on a German, French,
// Spanish or Polish keyboard a Ctrl+Alt shortcut can be AltGr and a letter:
// taken by RegisterHotKey, it would take `@`, `€` or `ć` from every program.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "trigger/hotkey.h"

namespace jumpnest {

// One keyboard layout the user has installed: its name, and what a key with
// the modifiers of a shortcut types on it (UTF-8, empty for nothing). A dead
// key answers its accent: it is the first half of a character.
struct KeyboardLayout {
    std::string name;
    std::function<std::string(const Hotkey&)> typed;
};

struct TypedCharacter {
    std::string character;  // UTF-8
    std::string layout;     // the name of the layout it is typed on
    bool operator==(const TypedCharacter&) const = default;
};

// The character `key` types on the first of `layouts` where it types one;
// nothing when it types none on any. Control characters (Ctrl+K answers
// 0x0B) are no typing, and neither is a key with Alt but without Ctrl:
// Windows hands that to menus, never to the text.
std::optional<TypedCharacter> CharacterTypedBy(const Hotkey& key,
                                               std::span<const KeyboardLayout> layouts);

// What the shortcut box makes of a key the user pressed without Ctrl or Alt
// (a control value, with or without Shift): the first of Ctrl+Alt,
// Ctrl+Shift+Alt and Ctrl+Shift and the key that types nothing on any of
// `layouts`; Shift, when given, stays. Ctrl+Shift comes last because
// programs use it for their own commands; Ctrl without Alt types no
// character on a real layout, so it is always left. Any other value, or a
// key with no such combination, is returned as it is.
std::int32_t ShortcutForPlainKey(std::int32_t controlValue,
                                 std::span<const KeyboardLayout> layouts);

}  // namespace jumpnest
