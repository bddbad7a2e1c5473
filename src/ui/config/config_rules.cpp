#include "ui/config/config_rules.h"

#include <cstdint>

namespace jumpnest {

CloseDecision DecideClose(CloseReason reason, bool popupOpen) {
    switch (reason) {
    case CloseReason::CloseBox:
        // While the popup is open it is built from the live list, so throwing the
        // edits away under it would change the menu the user is looking at.
        return {CloseAction::Hide, !popupOpen};
    case CloseReason::FromCode:
        return {CloseAction::Ask, false};
    case CloseReason::SessionEnding:
    case CloseReason::FromOutside:
        // Nobody is there to answer: a question would only hold up log-off,
        // or the task list that asked the program to end.
        return {CloseAction::QuitAtOnce, false};
    }
    // Not a reason the window knows: asking neither loses edits nor quits unasked.
    return {CloseAction::Ask, false};
}

std::string StripAccelerators(std::string_view caption) {
    // One pass over pairs rather than a marker substitution, so no text the
    // caption may already contain is ever mistaken for an escaped "&".
    std::string plain;
    plain.reserve(caption.size());
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != '&') {
            plain += caption[i];
        } else if (i + 1 < caption.size() && caption[i + 1] == '&') {
            plain += '&';
            ++i;
        }
    }
    return plain;
}

int CenteredOrigin(int screen, int size) {
    // Widened so that extreme sizes cannot overflow the subtraction; the half
    // always fits back into an int. Division truncates toward zero, so a window
    // larger than the screen hangs over both edges by the same amount.
    return static_cast<int>((static_cast<std::int64_t>(screen) - size) / 2);
}

}  // namespace jumpnest
