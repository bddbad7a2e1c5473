// Shell link files (.lnk).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace jumpnest {

// Writes (or replaces) a shortcut to `target`. An empty working folder
// becomes the target's folder, with its trailing backslash; the icon is set
// only for a non-empty icon file and an index above 0. True when the link
// file was saved; nothing is saved when any setting is refused.
bool CreateShortcut(const std::string& linkFile, const std::string& target,
                    const std::string& arguments, const std::string& description,
                    const std::string& workingFolder, const std::string& iconFile, int iconIndex);

// Deletes the shortcut: nothing when there was none, else 0 or the system's
// reason.
std::optional<DWORD> RemoveShortcut(const std::string& linkFile);

}  // namespace jumpnest
