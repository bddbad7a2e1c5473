// Starting what the user picked, through the shell.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace jumpnest {

enum class LaunchResult {
    Started,   // the shell took it
    OpenWith,  // no program for its type: the open-with dialog was started
    Failed,    // anything else; nothing is shown to the user
};

// Hands `target`, its %VARIABLE%s expanded, to the shell with `verb` (none:
// the default action). When no
// program is associated with its type, the default action starts the open-with
// dialog for it, minimized and active, without waiting.
LaunchResult LaunchTarget(const std::string& target,
                          const std::optional<std::string>& verb = std::nullopt);

// Whether this program runs with the full rights of an administrator whose
// desktop runs without them (elevated through UAC).
bool ProcessElevated();

// Opens the folder that holds `target` (expanded as for starting it) in
// Explorer with the file selected.
bool OpenFileLocation(const std::string& target);

// Puts `text` on the clipboard as Unicode text, `owner` holding it meanwhile;
// waits up to half a second for a clipboard another program holds open.
bool CopyToClipboard(HWND owner, const std::string& text);

}  // namespace jumpnest
