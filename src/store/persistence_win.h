// Loading and saving the options and the entry list together.
#pragma once

#include <string>

#include "store/entry_list_win.h"
#include "store/program_lists_win.h"
#include "store/settings.h"

namespace jumpnest {

// Where the options are kept, and how a dropped path is looked up.
// The lists of single programs, when given, are loaded, saved and read
// again with the common list.
struct Store {
    SettingsStore& settings;
    FileProbe isFile;
    ProgramLists* programs = nullptr;
};

// Reads the options into `options` and the entry file into `list`. True
// when there is no entry file yet (the first start for this user, or no
// Apply yet): "AppPath" is recorded then.
bool LoadSettings(const Store& store, EntryList& list, Options& options);

// Reads the entry file into `list` again, as it is now (the list another
// copy saved), and the program lists; the options stay as they are.
void LoadEntries(const Store& store, EntryList& list);

// What a save could not store, each as the system's reason; 0 when stored.
struct SaveOutcome {
    DWORD options = 0;  // the first value of the settings store that failed
    DWORD list = 0;     // the first list file that failed, which is then left as it was
    std::string listFile;  // that file
    explicit operator bool() const { return !options && !list; }
};

// Writes the entry list, then the options. When the entry file has changed
// since this program last read or wrote it, neither is written: the list is
// kErrorEntryFileChanged then. A list that cannot be written otherwise does
// not keep the options from being stored.
// The program lists are saved after the common list, each on its own.
SaveOutcome SaveSettings(const Store& store, const EntryList& list, const Options& options);

// File > "keep everything beside the program": makes this copy portable.
// Writes kqrJumpnest.ini beside the exe with every value of the settings
// (the registry's, known to this version or not), then saves `list`, the
// program lists and `options` there as Apply would, targets on the exe's
// drive stored relative to its folder. Only when all of that succeeded are
// the registry key and this user's files in the old data folder removed,
// and the program from then on runs as a portable copy (gPortable,
// gDataFolder, gIniFile and `place`). On a failure everything written beside
// the exe is removed again and nothing else changed: the result names the
// file or place and the system's reason.
struct MoveOutcome {
    std::string place;
    DWORD error = 0;
    explicit operator bool() const { return !error; }
};
class SettingsPlace;
MoveOutcome MoveBesideProgram(SettingsPlace& place, const Store& store, EntryList& list,
                              const Options& options);

}  // namespace jumpnest
