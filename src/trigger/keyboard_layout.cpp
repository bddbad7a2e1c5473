#include "trigger/keyboard_layout.h"

#include <algorithm>
#include <array>

namespace jumpnest {

namespace {

constexpr std::uint32_t kModAlt = 0x0001, kModControl = 0x0002;
constexpr std::int32_t kControlShift = 0x01, kControlCtrl = 0x02, kControlAlt = 0x04;

bool IsCharacter(const std::string& text) {
    // Every byte of a UTF-8 sequence beyond ASCII is 0x80 or more.
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0x20 && byte != 0x7F;
    });
}

}  // namespace

std::optional<TypedCharacter> CharacterTypedBy(const Hotkey& key,
                                               std::span<const KeyboardLayout> layouts) {
    if ((key.modifiers & (kModControl | kModAlt)) == kModAlt) return std::nullopt;
    for (const KeyboardLayout& layout : layouts) {
        std::string text = layout.typed ? layout.typed(key) : std::string();
        if (IsCharacter(text)) return TypedCharacter{std::move(text), layout.name};
    }
    return std::nullopt;
}

std::int32_t ShortcutForPlainKey(std::int32_t controlValue,
                                 std::span<const KeyboardLayout> layouts) {
    const std::int32_t flags = (controlValue >> 8) & 0xFF;
    if (controlValue <= 0 || (controlValue & 0xFF) == 0 || (flags & (kControlCtrl | kControlAlt))) {
        return controlValue;
    }
    constexpr std::array<std::int32_t, 3> kTried = {kControlCtrl | kControlAlt,
                                                    kControlCtrl | kControlShift | kControlAlt,
                                                    kControlCtrl | kControlShift};
    for (const std::int32_t added : kTried) {
        if ((flags & kControlShift) && !(added & kControlShift)) continue;
        const std::int32_t candidate = controlValue | (added << 8);
        const std::optional<Hotkey> key = HotkeyFromControlValue(candidate);
        if (key && !CharacterTypedBy(*key, layouts)) return candidate;
    }
    return controlValue;
}

}  // namespace jumpnest
