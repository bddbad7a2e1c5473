// Reading and writing the entry file on disk. The format itself lives in
// store/entry_file.h; this side adds the code page and the file system.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/environment_win.h"
#include "store/entry_file.h"

namespace jumpnest {

// Why WriteEntryFile left the file alone: it no longer holds what this
// program last read or wrote there (another copy, signed in elsewhere, saved
// its list since).
inline constexpr unsigned long kErrorEntryFileChanged = 0x20000000u | 0x4A10u;

// What the entry file held when this program last read or wrote it. Its bytes
// are compared, not its time or size: a file written twice within the clock's
// step, or replaced by another of the same size, still tells.
struct EntryFileStamp {
    bool present = false;
    std::uint64_t digest = 0;
    bool operator==(const EntryFileStamp&) const = default;
};

// The entries of the file, or nothing when there is no file, it cannot be
// read, it belongs to another user who is not an administrator, it is a link
// or has a second name, or others may change it (the last error then tells
// which). Text after a byte-order mark is UTF-8, and so is text without one
// that is well-formed UTF-8 beyond ASCII (a list saved by Notepad); any other
// is ANSI. Of two lines naming the same target the first wins; whether the
// targets are there is not asked. `seen`, when given, records the bytes read
// (or no file).
std::optional<std::vector<MenuEntry>> ReadEntryFile(const std::string& path,
                                                    EntryFileStamp* seen = nullptr);

// Saves the list in the ANSI code page when that code page holds every
// caption and target exactly, as earlier versions and the users' own scripts
// read it; else as UTF-8 after a byte-order mark, so that nothing is lost.
// The list goes to a new file beside the entry file, which then replaces the
// old one in one step; on any failure the old file stays exactly as it was,
// the new one is removed and the result is false. The new file gives access
// to its user, SYSTEM and the Administrators only; a file that ReadEntryFile
// would not read is never replaced. Also false, without touching the file,
// for an entry whose caption holds a TAB, CR or LF or whose target holds a CR
// or LF: the file could not give it back as it was. With `seen`, a file that
// no longer holds what `seen` records is not replaced either (false,
// kErrorEntryFileChanged), while a file deleted since is written again:
// nobody's list is lost then. After a save `seen` records the new file.
bool WriteEntryFile(const std::string& path, const std::vector<MenuEntry>& entries,
                    EntryFileStamp* seen = nullptr);

// The bytes of a file that ReadEntryFile would read, under the same checks
// (owner, link, second name, who may change it), before they are taken for
// entries: for the other files the program keeps beside its lists.
std::optional<std::string> ReadTrustedFile(const std::string& path, EntryFileStamp* seen = nullptr);

// Saves `bytes` as the file at `path` exactly as WriteEntryFile saves a list:
// a new file beside it replacing it in one step, never a file ReadTrustedFile
// would refuse, and with `seen` never one changed since.
bool WriteFileWhole(const std::string& path, std::string_view bytes,
                    EntryFileStamp* seen = nullptr);

// Removes what saves cut short by the end of a process (a crash, a power
// cut) left beside the entry file, once untouched for `olderThanMs`. A copy
// running in another sign-in of the same user may be writing a younger one
// right now.
void RemoveLeftoverSaves(const std::string& path, std::uint64_t olderThanMs = 60 * 1000);

// Deletes every file of this user in the data folder (see
// IsUserDataFileName), and nobody else's: each with 0 or the system's reason.
// A data folder that is a link to another place is left alone, with
// kErrorUnsafeEntryFile.
std::vector<Removal> RemoveUserFiles(const std::string& dataFolder, const std::string& exeName,
                                     const std::string& userName);

}  // namespace jumpnest
