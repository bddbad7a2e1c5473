// The configuration window's decisions, apart from any window: what closing
// it means, and the small text and placement helpers.
#pragma once

#include <string>
#include <string_view>

namespace jumpnest {

// Why the window is asked to close.
enum class CloseReason {
    CloseBox,       // the user, through the close box or the window menu
    FromCode,       // File > Exit program...
    SessionEnding,  // Windows logs off or shuts down
    FromOutside,    // WM_CLOSE from another program, such as the task list's End task
};

enum class CloseAction {
    Hide,        // hide the window (and press Cancel first when `pressCancel`)
    Ask,         // ask the quit question; quit on Yes, else stay as it is
    QuitAtOnce,  // remove hooks and tray icon and end, without asking
};

struct CloseDecision {
    CloseAction action;
    bool pressCancel;  // with Hide: throw the edits away as Cancel does
    bool operator==(const CloseDecision&) const = default;
};

// The close box hides the window; while the popup is open it keeps the edits,
// otherwise it presses Cancel first. Exit asks. Windows ending, or another
// program closing the window, quits without asking.
CloseDecision DecideClose(CloseReason reason, bool popupOpen);

// A caption without accelerator marks: "&&" stays as one "&", every other
// "&" goes.
std::string StripAccelerators(std::string_view caption);

// Left or top edge that centres a window of `size` on a screen of `screen`
// (both in the same unit; the fraction is dropped).
int CenteredOrigin(int screen, int size);

}  // namespace jumpnest
