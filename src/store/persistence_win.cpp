#include "store/persistence_win.h"

#include <windows.h>

#include "core/environment_win.h"
#include "core/globals.h"
#include "core/trace_win.h"
#include "store/entry_store_win.h"

namespace jumpnest {

namespace {

// Why an existing entry file could not be read (locked by another program,
// or it belongs to another user), or 0. The list then shows nothing, and
// saving it would replace the user's entries with that nothing.
DWORD gEntryFileReadError = 0;

}  // namespace

bool LoadSettings(const Store& store, EntryList& list, Options& options) {
    options = LoadOptions(store.settings, gGermanLocale, options.language);

    RemoveLeftoverSaves(gIniFile);
    auto entries = ReadEntryFile(gIniFile);
    const DWORD readError = ::GetLastError();
    gEntryFileReadError = !entries && FileExists(gIniFile) ? readError : 0;
    list.Replace(entries ? std::move(*entries) : std::vector<MenuEntry>{});
    if (gEntryFileReadError) {
        Trace("the entry file could not be read: " + gIniFile + ", error " +
              std::to_string(gEntryFileReadError));
        return false;
    }
    if (entries) return false;
    store.settings.Write("AppPath", gAppPath + ExecutableName() + ".exe");
    return true;
}

bool SaveSettings(const Store& store, const EntryList& list, const Options& options) {
    SaveOptions(store.settings, options, gAppVersion);
    if (gEntryFileReadError && FileExists(gIniFile)) {
        Trace("the entry file was not read, so it is not overwritten: " + gIniFile);
        ::SetLastError(gEntryFileReadError);
        return false;
    }
    const bool saved = WriteEntryFile(gIniFile, list.entries());
    if (!saved) Trace("the entry file could not be written: " + gIniFile);
    return saved;
}

}  // namespace jumpnest
