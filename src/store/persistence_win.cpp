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
// What the entry file held when it was last read or written here: another
// copy of the program (the user signed in twice) may save its own list
// meanwhile, which a save from here must not silently undo.
EntryFileStamp gEntryFileSeen;

// Passes the writes on and keeps why the first that failed did.
class FirstFailure final : public SettingsStore {
public:
    explicit FirstFailure(SettingsStore& store) : store_(store) {}
    std::optional<std::string> Read(std::string_view key) const override {
        return store_.Read(key);
    }
    bool Write(std::string_view key, std::string_view value) override {
        ::SetLastError(ERROR_SUCCESS);
        if (store_.Write(key, value)) return true;
        if (!reason) reason = ::GetLastError() ? ::GetLastError() : ERROR_CANTWRITE;
        return false;
    }
    DWORD reason = 0;

private:
    SettingsStore& store_;
};

// True when there is an entry file, read or not.
bool ReadEntries(EntryList& list) {
    auto entries = ReadEntryFile(gIniFile, &gEntryFileSeen);
    const DWORD readError = ::GetLastError();
    gEntryFileReadError = !entries && FileExists(gIniFile) ? readError : 0;
    list.Replace(entries ? std::move(*entries) : std::vector<MenuEntry>{});
    if (gEntryFileReadError) {
        Trace("the entry file could not be read: " + gIniFile + ", error " +
              std::to_string(gEntryFileReadError));
    }
    return entries.has_value() || gEntryFileReadError != 0;
}

}  // namespace

bool LoadSettings(const Store& store, EntryList& list, Options& options) {
    options = LoadOptions(store.settings, gGermanLocale, options.language);
    if (ReadEntries(list)) return false;
    store.settings.Write("AppPath", gAppPath + ExecutableName() + ".exe");
    return true;
}

void LoadEntries(const Store&, EntryList& list) {
    ReadEntries(list);
}

SaveOutcome SaveSettings(const Store& store, const EntryList& list, const Options& options) {
    SaveOutcome outcome;
    ::SetLastError(ERROR_SUCCESS);
    if (gEntryFileReadError && FileExists(gIniFile)) {
        Trace("the entry file was not read, so it is not overwritten: " + gIniFile);
        outcome.list = gEntryFileReadError;
    } else if (!WriteEntryFile(gIniFile, list.entries(), &gEntryFileSeen)) {
        // A failure without a reason is still a failure, never an Apply done.
        outcome.list = ::GetLastError() ? ::GetLastError() : ERROR_WRITE_FAULT;
        Trace("the entry file could not be written: " + gIniFile);
        // Nothing is written then: the user first chooses between the lists.
        if (outcome.list == kErrorEntryFileChanged) return outcome;
    }
    FirstFailure settings(store.settings);
    SaveOptions(settings, options, gAppVersion);
    outcome.options = settings.reason;
    if (outcome.options) Trace("the options could not be stored");
    return outcome;
}

}  // namespace jumpnest
