#include "trigger/hotkey.h"

namespace jumpnest {

namespace {

// The hot-key control's flags and RegisterHotKey's, which name the same keys
// with other bits.
constexpr std::uint32_t kControlShift = 0x01, kControlCtrl = 0x02, kControlAlt = 0x04;
constexpr std::uint32_t kModAlt = 0x0001, kModControl = 0x0002, kModShift = 0x0004;
constexpr std::uint32_t kModNoRepeat = 0x4000;

}  // namespace

std::optional<Hotkey> HotkeyFromControlValue(std::int32_t value) {
    if (value <= 0 || value > 0xFFFF) return std::nullopt;
    const auto key = static_cast<std::uint32_t>(value) & 0xFF;
    const auto flags = static_cast<std::uint32_t>(value) >> 8;
    // HOTKEYF_EXT (0x08) only tells the control which of two keys it saw;
    // any other bit is not a flag it gives.
    if (key == 0 || (flags & ~0x0Fu) != 0) return std::nullopt;
    std::uint32_t modifiers = kModNoRepeat;
    if (flags & kControlShift) modifiers |= kModShift;
    if (flags & kControlCtrl) modifiers |= kModControl;
    if (flags & kControlAlt) modifiers |= kModAlt;
    return Hotkey{key, modifiers};
}

}  // namespace jumpnest
