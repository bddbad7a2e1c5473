// The configuration window's decisions, apart from any window: what closing
// it means, how entries move, what a drop makes of a list of paths, and the
// small text and placement helpers.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "store/entry_file.h"

namespace jumpnest {

// Why the window is asked to close.
enum class CloseReason {
    CloseBox,       // the user, through the close box or the window menu
    FromCode,       // File > Exit program...
    SessionEnding,  // Windows logs off or shuts down
    TaskManager,    // ended from the Task Manager
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
// otherwise it presses Cancel first. Exit asks. Windows ending and the Task
// Manager quit without asking.
CloseDecision DecideClose(CloseReason reason, bool popupOpen);

// A caption without accelerator marks: "&&" stays as one "&", every other
// "&" goes.
std::string StripAccelerators(std::string_view caption);

// The text of the quit question for a language (1 German, 2 French,
// 3 Spanish, anything else English).
std::string_view QuitQuestion(int language);

// The help page the link opens for a language: German for 1, else English.
std::string_view HelpPageName(int language);

// Left or top edge that centres a window of `size` on a screen of `screen`
// (both in the same unit; the fraction is dropped).
int CenteredOrigin(int screen, int size);

// Moves the entry at `index` one place up (-1) or down (+1). Returns the new
// index of the moved entry, or `index` unchanged when it cannot move (first
// up, last down, out of range).
size_t MoveEntry(std::vector<MenuEntry>& entries, size_t index, int direction);

// The entries a drop of `paths` adds to `existing`, in drop order: only
// paths `isFile` accepts (existing files, not folders), each target once
// (compared as Windows compares paths), none already in `existing`. The
// caption is the file name without its extension.
std::vector<MenuEntry> EntriesFromDrop(const std::vector<std::string>& paths,
                                       const std::vector<MenuEntry>& existing,
                                       const std::function<bool(const std::string&)>& isFile);

// A caption as typed in place, made safe for the entry file: TAB, CR and LF
// are removed.
std::string CleanCaption(std::string_view typed);

}  // namespace jumpnest
