#include "ui/popup/popup_keys.h"

namespace jumpnest {

PopupCommand PopupKeyCommand(std::uint32_t key, bool released, KeyModifiers held) {
    if (released) return key == kVkEscape ? PopupCommand::kEscape : PopupCommand::kNone;
    const bool chord = held.ctrl && !held.alt;
    if (key == kVkReturn) {
        return chord && held.shift ? PopupCommand::kStartAsAdministrator : PopupCommand::kStart;
    }
    if (key == kVkF2) return PopupCommand::kOpenConfiguration;
    if (key == 'E' && chord && held.shift) return PopupCommand::kOpenFileLocation;
    if (key == 'C' && chord && !held.shift) return PopupCommand::kCopyPath;
    return PopupCommand::kNone;
}

}  // namespace jumpnest
