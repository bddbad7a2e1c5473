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

// Writes the options and the entry list. False, with the reason as the last
// error, when the entry file could not be written; the previous file is then
// left as it was.
bool SaveSettings(const Store& store, const EntryList& list, const Options& options);

}  // namespace jumpnest
