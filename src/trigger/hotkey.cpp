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
    if (!(flags & (kControlCtrl | kControlAlt))) return std::nullopt;
    std::uint32_t modifiers = kModNoRepeat;
    if (flags & kControlShift) modifiers |= kModShift;
    if (flags & kControlCtrl) modifiers |= kModControl;
    if (flags & kControlAlt) modifiers |= kModAlt;
    return Hotkey{key, modifiers};
}

HotkeyChange ReplaceHotkey(std::int32_t registered, std::int32_t stored, std::int32_t chosen,
                           const std::function<bool(const Hotkey&)>& take,
                           const std::function<void(const Hotkey&)>& release) {
    const std::optional<Hotkey> wanted = HotkeyFromControlValue(chosen);
    if (chosen != 0 && !wanted) return {HotkeyOutcome::kNoShortcut, registered};
    const std::optional<Hotkey> before = HotkeyFromControlValue(registered);
    if (wanted == before) return {HotkeyOutcome::kTaken, wanted ? chosen : 0};
    if (before) release(*before);
    if (!wanted || take(*wanted)) return {HotkeyOutcome::kTaken, wanted ? chosen : 0};
    // Refused: the old one back, if nobody took it meanwhile. Never claimed
    // when it could not be had.
    const bool back = !before || take(*before);
    const std::int32_t now = back ? registered : 0;
    if (chosen == stored) return {HotkeyOutcome::kStillHeld, now};
    return {back ? HotkeyOutcome::kHeld : HotkeyOutcome::kOldLost, now};
}

}  // namespace jumpnest
