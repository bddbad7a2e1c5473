// Reading and writing the entry file on disk. The format itself lives in
// store/entry_file.h; this side adds the code page and the file system.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "store/entry_file.h"

namespace jumpnest {

// The entries of the file, or nothing when there is no file, it cannot be
// read, it belongs to another user who is not an administrator, it is a link
// or has a second name, or others may change it (the last error then tells
// which). Text after a byte-order mark is UTF-8, and so is text without one
// that is well-formed UTF-8 beyond ASCII (a list saved by Notepad); any other
// is ANSI. Of two lines naming the same target the first wins; whether the
// targets are there is not asked.
std::optional<std::vector<MenuEntry>> ReadEntryFile(const std::string& path);

// Saves the list in the ANSI code page when that code page holds every
// caption and target exactly, as earlier versions and the users' own scripts
// read it; else as UTF-8 after a byte-order mark, so that nothing is lost.
// The list goes to a new file beside the entry file, which then replaces the
// old one in one step; on any failure the old file stays exactly as it was,
// the new one is removed and the result is false. The new file gives access
// to its user, SYSTEM and the Administrators only; a file that ReadEntryFile
// would not read is never replaced. Also false, without touching the file,
// for an entry whose caption holds a TAB, CR or LF or whose target holds a CR
// or LF: the file could not give it back as it was.
bool WriteEntryFile(const std::string& path, const std::vector<MenuEntry>& entries);

// Removes what saves cut short by the end of a process (a crash, a power
// cut) left beside the entry file. Only one instance uses an entry file, so
// at its start none of these is still being written.
void RemoveLeftoverSaves(const std::string& path);

}  // namespace jumpnest
