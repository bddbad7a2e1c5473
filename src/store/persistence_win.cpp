#include "store/persistence_win.h"

#include <windows.h>

#include <algorithm>

#include "core/encoding_win.h"
#include "core/environment_win.h"
#include "core/globals.h"
#include "core/paths.h"
#include "core/text.h"
#include "core/trace_win.h"
#include "store/entry_store_win.h"
#include "store/portable_win.h"
#include "store/program_lists.h"
#include "store/settings_win.h"

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
        if (!reason) reason = LastErrorOr(ERROR_CANTWRITE);
        return false;
    }
    DWORD reason = 0;

private:
    SettingsStore& store_;
};

// True when there is an entry file, read or not.
bool ReadEntries(EntryList& list) {
    auto entries = ReadListFile(gIniFile, &gEntryFileSeen, gEntryFileReadError);
    list.Replace(entries ? std::move(*entries) : std::vector<MenuEntry>{});
    return entries.has_value() || gEntryFileReadError != 0;
}

// The files a move wrote beside the exe: removed again unless the move
// completes, and only those (a file that was there before is never one).
class WrittenBeside {
public:
    WrittenBeside() = default;
    WrittenBeside(const WrittenBeside&) = delete;
    WrittenBeside& operator=(const WrittenBeside&) = delete;
    ~WrittenBeside() {
        for (const std::string& file : kept_ ? std::vector<std::string>{} : files_) {
            if (!::DeleteFileW(Widen(file).c_str())) Trace("move: left behind " + file);
        }
    }
    void Add(const std::string& file) {
        if (std::find(files_.begin(), files_.end(), file) == files_.end()) files_.push_back(file);
    }
    void Keep() { kept_ = true; }

private:
    std::vector<std::string> files_;
    bool kept_ = false;
};

// Whether the file still holds what it held when last read or written here.
bool Unchanged(const std::string& path, const EntryFileStamp& seen) {
    EntryFileStamp now;
    ReadTrustedFile(path, &now);
    return now == seen;
}

}  // namespace

bool LoadSettings(const Store& store, EntryList& list, Options& options) {
    options = LoadOptions(store.settings, gGermanLocale, options.language);
    if (store.programs) store.programs->Load(store.settings);
    if (ReadEntries(list)) return false;
    store.settings.Write("AppPath", gAppPath + ExecutableName() + ".exe");
    return true;
}

void LoadEntries(const Store& store, EntryList& list) {
    ReadEntries(list);
    if (store.programs) store.programs->Load(store.settings);
}

SaveOutcome SaveSettings(const Store& store, const EntryList& list, const Options& options) {
    SaveOutcome outcome;
    ::SetLastError(ERROR_SUCCESS);
    // A program's list another copy saved since is the user's question
    // before anything is written, as the common list is: nothing is saved.
    if (const ProgramLists::Program* changed =
            store.programs ? store.programs->ChangedElsewhere() : nullptr) {
        Trace("a program list was changed elsewhere: " + changed->path);
        outcome.list = kErrorEntryFileChanged;
        outcome.listFile = changed->path;
        return outcome;
    }
    if (gEntryFileReadError && FileExists(gIniFile)) {
        Trace("the entry file was not read, so it is not overwritten: " + gIniFile);
        outcome.list = gEntryFileReadError;
    } else if (!WriteListFile(gIniFile, list.entries(), &gEntryFileSeen, gPortable)) {
        outcome.list = LastErrorOr(ERROR_WRITE_FAULT);
        Trace("the entry file could not be written: " + gIniFile);
        // Nothing is written then: the user first chooses between the lists.
        if (outcome.list == kErrorEntryFileChanged) {
            outcome.listFile = gIniFile;
            return outcome;
        }
    }
    if (outcome.list) outcome.listFile = gIniFile;
    FirstFailure settings(store.settings);
    if (store.programs) {
        const std::optional<ProgramLists::Failure> failure = store.programs->Save(settings);
        if (failure && !failure->settings && !outcome.list) {
            outcome.list = failure->error;
            outcome.listFile = failure->file;
        }
    }
    SaveOptions(settings, options, gAppVersion);
    outcome.options = settings.reason;
    if (outcome.options) Trace("the options could not be stored");
    return outcome;
}

}  // namespace jumpnest

namespace jumpnest {

MoveOutcome MoveBesideProgram(SettingsPlace& place, const Store& store, EntryList& list,
                              const Options& options) {
    if (place.portable() || gPortable) return {};
    const std::string exeName = ExecutableName();
    const std::string iniPath = AddBackslash(gAppPath) + std::string(kPortableSettingsName);
    // Without a shared application-data folder the lists lie beside the exe
    // already: they stay as they are, and nothing of theirs is removed.
    const bool listsBeside =
        EqualsIgnoringAsciiCase(AddBackslash(gDataFolder), AddBackslash(gAppPath));
    Trace("move beside the program: " + iniPath);

    // A list that could not be read, or that another copy changed since,
    // would be lost with the old folder: the move waits for the user.
    struct Source {
        std::string path;
        const EntryFileStamp* seen;
        DWORD readError;
    };
    std::vector<Source> sources = {{gIniFile, &gEntryFileSeen, gEntryFileReadError}};
    if (store.programs) {
        for (const auto& program : store.programs->programs())
            sources.push_back({program->path, &program->seen, program->readError});
    }
    for (const Source& source : sources) {
        if (source.readError && FileExists(source.path)) return {source.path, source.readError};
        if (!Unchanged(source.path, *source.seen)) return {source.path, kErrorEntryFileChanged};
    }
    if (FileExists(iniPath) || DirExists(iniPath)) return {iniPath, ERROR_FILE_EXISTS};

    WrittenBeside written;
    auto file = std::make_unique<PortableSettings>(iniPath);
    FirstFailure settings(*file);
    for (const auto& [key, value] : place.registry().Values()) {
        if (settings.Write(key, value)) written.Add(iniPath);
    }
    SaveOptions(settings, options, gAppVersion);
    if (!settings.reason && store.programs) {
        const std::optional<std::string> own = settings.Read(kOwnEntriesOnlyKey);
        const std::string now = store.programs->OwnEntriesOnly();
        if ((own || !now.empty()) && own.value_or("") != now)
            settings.Write(kOwnEntriesOnlyKey, now);
    }
    if (settings.reason) return {iniPath, settings.reason};
    written.Add(iniPath);

    // The lists at their new places, targets on the exe's drive relative.
    const std::string newIni = EntryFilePath(gAppPath, exeName, gUserName);
    EntryFileStamp newSeen = gEntryFileSeen;
    std::vector<EntryFileStamp> programSeen;
    if (!listsBeside) {
        newSeen = {};
        if (!WriteListFile(newIni, list.entries(), &newSeen, true)) {
            return {newIni, LastErrorOr(ERROR_WRITE_FAULT)};
        }
        written.Add(newIni);
        static const std::vector<std::unique_ptr<ProgramLists::Program>> kNone;
        for (const auto& program : store.programs ? store.programs->programs() : kNone) {
            const std::string path = ProgramListPath(gAppPath, exeName, gUserName, program->key);
            EntryFileStamp seen;
            if (!WriteListFile(path, program->list.entries(), &seen, true)) {
                return {path, LastErrorOr(ERROR_WRITE_FAULT)};
            }
            written.Add(path);
            programSeen.push_back(seen);
        }
    }

    // Everything is beside the exe now: the old places go, and from here on
    // nothing is undone. What cannot be removed is only left over.
    written.Keep();
    if (const std::optional<unsigned long> error = RemoveSettingsKey(place.application());
        error && *error) {
        Trace("move: the registry key stays, error " + std::to_string(*error));
    }
    if (!listsBeside) {
        for (const Removal& removal : RemoveUserFiles(gDataFolder, exeName, gUserName)) {
            if (removal.error) Trace("move: left " + removal.place);
        }
        // Only folders the program made below the shared folder, and only
        // when nothing of anyone else's is left in them.
        const std::string shared = GetSpecialFolder(kFolderCommonAppData);
        if (!shared.empty() &&
            EqualsIgnoringAsciiCase(DataFolderPath(shared, exeName, gAppPath), gDataFolder)) {
            RemoveSharedDataFolder(shared, gDataFolder);
        }
    }
    gPortable = true;
    gDataFolder = AddBackslash(gAppPath);
    gIniFile = newIni;
    gEntryFileSeen = newSeen;
    gEntryFileReadError = 0;
    if (store.programs && !listsBeside) {
        const auto& programs = store.programs->programs();
        for (size_t i = 0; i < programs.size(); ++i) {
            programs[i]->seen = programSeen[i];
            programs[i]->stored = programs[i]->list.entries();
            programs[i]->readError = 0;
        }
    }
    if (store.programs) {
        store.programs->Locate(gDataFolder, exeName, gUserName, store.programs->window());
    }
    place.UsePortable(std::move(file));
    Trace("portable: 1");
    return {};
}

}  // namespace jumpnest
