// Loading and saving the options and the entry list together.
#pragma once

#include "store/entry_list_win.h"
#include "store/settings.h"

namespace jumpnest {

// Where the options are kept, and how a dropped path is looked up.
struct Store {
    SettingsStore& settings;
    FileProbe isFile;
};

// Reads the options into `options` and the entry file into `list`. True
// when there is no entry file yet (the first start for this user, or no
// Apply yet): "AppPath" is recorded then.
bool LoadSettings(const Store& store, EntryList& list, Options& options);

// Reads the entry file into `list` again, as it is now (the list another
// copy saved); the options stay as they are.
void LoadEntries(EntryList& list);

// What a save could not store, each as the system's reason; 0 when stored.
struct SaveOutcome {
    DWORD options = 0;  // the first value of the settings store that failed
    DWORD list = 0;     // the entry file, which is then left as it was
    explicit operator bool() const { return !options && !list; }
};

// Writes the entry list, then the options. When the entry file has changed
// since this program last read or wrote it, neither is written: the list is
// kErrorEntryFileChanged then. A list that cannot be written otherwise does
// not keep the options from being stored.
SaveOutcome SaveSettings(const Store& store, const EntryList& list, const Options& options);

}  // namespace jumpnest
