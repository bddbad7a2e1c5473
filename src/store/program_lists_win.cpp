#include "store/program_lists_win.h"

#include <algorithm>

#include "core/encoding_win.h"
#include "core/environment_win.h"
#include "core/globals.h"
#include "core/paths.h"
#include "core/text.h"
#include "core/trace_win.h"
#include "store/portable_win.h"
#include "store/program_lists.h"

namespace jumpnest {

namespace {

// The key of a program, its letters lowered as Windows lowers them in file
// names, so that "ÜBER.EXE" and "über.exe" are one program.
std::string KeyOf(std::string_view program) {
    std::wstring name = Widen(program);
    if (!name.empty()) ::CharLowerBuffW(name.data(), static_cast<DWORD>(name.size()));
    return ProgramKey(Narrow(name));
}

std::vector<std::string> SplitKeys(std::string_view text) {
    std::vector<std::string> keys;
    while (!text.empty()) {
        const std::size_t end = text.find(';');
        const std::string key = KeyOf(text.substr(0, end));
        if (!key.empty()) keys.push_back(key);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return keys;
}

// Deletes a removed list's file while it still holds what was last read or
// written here; 0, or why not. A file gone already is no failure.
DWORD DeleteListFile(const std::string& path, const EntryFileStamp& seen) {
    EntryFileStamp now;
    if (!ReadTrustedFile(path, &now)) {
        const DWORD error = LastErrorOr(ERROR_ACCESS_DENIED);
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return 0;
        return error;
    }
    if (now != seen) return kErrorEntryFileChanged;
    if (::DeleteFileW(Widen(path).c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND) return 0;
    return LastErrorOr(ERROR_ACCESS_DENIED);
}

}  // namespace

ProgramLists::ProgramLists(PictureSource source, FileProbe probe)
    : source_(std::move(source)), probe_(std::move(probe)) {}

void ProgramLists::Locate(std::string dataFolder, std::string exeName, std::string userName,
                          HWND window) {
    dataFolder_ = std::move(dataFolder);
    exeName_ = std::move(exeName);
    userName_ = std::move(userName);
    window_ = window;
    for (auto* lists : {&programs_, &removed_}) {
        for (auto& program : *lists) {
            program->path = ProgramListPath(dataFolder_, exeName_, userName_, program->key);
        }
    }
}

void ProgramLists::StartLoader(Program& program) {
    if (!window_) return;
    program.tag = ++lastTag_;
    program.list.StartLoader(window_, program.tag, "pictures of " + program.key);
}

void ProgramLists::Notify() {
    for (const auto& listener : listeners_) listener();
}

void ProgramLists::Load(const SettingsStore& settings) {
    std::vector<std::string> keys;
    // Not told where the lists live yet: there are none to read.
    if (exeName_.empty()) {
        programs_.clear();
        removed_.clear();
        return Notify();
    }
    WIN32_FIND_DATAW found;
    const std::wstring pattern =
        Widen(AddBackslash(dataFolder_) + exeName_ + "." + userName_ + "@*.ini");
    const HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            // The pattern also matches short 8.3 names: the long name decides.
            const auto key = ProgramOfListFile(Narrow(found.cFileName), exeName_, userName_);
            if (key) keys.push_back(KeyOf(*key));
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    const std::vector<std::string> own = SplitKeys(settings.Read(kOwnEntriesOnlyKey).value_or(""));

    // A list that is there again keeps its place in memory, and whoever
    // holds it keeps a valid one; the others go.
    std::vector<std::unique_ptr<Program>> loaded;
    for (const std::string& key : keys) {
        const auto kept = std::find_if(programs_.begin(), programs_.end(),
                                       [&](const auto& p) { return p && p->key == key; });
        std::unique_ptr<Program> program = kept != programs_.end()
                                               ? std::move(*kept)
                                               : std::make_unique<Program>(key, source_, probe_);
        const bool fresh = kept == programs_.end();
        program->path = ProgramListPath(dataFolder_, exeName_, userName_, key);
        program->ownEntriesOnly = std::find(own.begin(), own.end(), key) != own.end();
        program->stored = ReadListFile(program->path, &program->seen, program->readError);
        program->list.Replace(program->stored.value_or(std::vector<MenuEntry>{}));
        if (fresh) StartLoader(*program);
        loaded.push_back(std::move(program));
    }
    // What is dropped now stops its pictures as it goes.
    programs_ = std::move(loaded);
    removed_.clear();
    Notify();
}

void ProgramLists::TakePictures(WPARAM tag, std::unique_ptr<LoadedPictures> pictures) {
    if (tag == 0) return;
    for (auto& program : programs_) {
        if (program->tag == tag) return program->list.TakePictures(std::move(pictures));
    }
}

void ProgramLists::StopLoaders(unsigned waitMs) {
    for (auto& program : programs_) program->list.StopLoader(waitMs);
}

ProgramLists::Program* ProgramLists::Find(std::string_view program) {
    const std::string key = KeyOf(program);
    for (auto& p : programs_) {
        if (!key.empty() && p->key == key) return p.get();
    }
    return nullptr;
}

const ProgramLists::Program* ProgramLists::Find(std::string_view program) const {
    return const_cast<ProgramLists*>(this)->Find(program);
}

ProgramLists::Program* ProgramLists::Add(std::string_view program) {
    if (Program* existing = Find(program)) return existing;
    const std::string key = KeyOf(program);
    const std::string path = ProgramListPath(dataFolder_, exeName_, userName_, key);
    if (key.empty() || path.empty()) return nullptr;
    // Removed and made again before a save: the same list, emptied, whose
    // file is replaced as far as it still holds what was read.
    std::unique_ptr<Program> added;
    const auto removed = std::find_if(removed_.begin(), removed_.end(),
                                      [&](const auto& p) { return p->key == key; });
    if (removed != removed_.end()) {
        added = std::move(*removed);
        removed_.erase(removed);
        added->list.Replace({});
        added->ownEntriesOnly = false;
    } else {
        added = std::make_unique<Program>(key, source_, probe_);
        added->path = path;
    }
    StartLoader(*added);
    Program* result = added.get();
    programs_.push_back(std::move(added));
    std::sort(programs_.begin(), programs_.end(),
              [](const auto& a, const auto& b) { return a->key < b->key; });
    Notify();
    return result;
}

void ProgramLists::Remove(const Program* program) {
    const auto found = std::find_if(programs_.begin(), programs_.end(),
                                    [&](const auto& p) { return p.get() == program; });
    if (found == programs_.end()) return;
    (*found)->list.StopLoader(0);
    (*found)->tag = 0;
    removed_.push_back(std::move(*found));
    programs_.erase(found);
    Notify();
}

const ProgramLists::Program* ProgramLists::ChangedElsewhere() const {
    for (const auto& program : programs_) {
        if (program->readError || (program->stored && *program->stored == program->list.entries()))
            continue;
        // A file deleted since is written again: nobody's list is lost then.
        EntryFileStamp now;
        ReadTrustedFile(program->path, &now);
        if (now.present && now != program->seen) return program.get();
    }
    return nullptr;
}

std::optional<ProgramLists::Failure> ProgramLists::Save(SettingsStore& settings) {
    std::optional<Failure> failure;
    const auto fail = [&failure](const std::string& file, DWORD error, bool inSettings = false) {
        Trace("a program list could not be stored: " + file + ", error " + std::to_string(error));
        if (!failure) failure = Failure{file, error, inSettings};
    };
    std::vector<std::unique_ptr<Program>> kept;
    for (auto& removed : removed_) {
        // Only a file this program read or wrote is deleted: one it could
        // not read is not its to judge, and a list never saved has none.
        if (!removed->seen.present) continue;
        if (const DWORD error = DeleteListFile(removed->path, removed->seen)) {
            fail(removed->path, error);
            kept.push_back(std::move(removed));  // tried again at the next save
        }
    }
    // Whoever still holds a removed list (the popup open over its program)
    // hears of its end first.
    const bool freed = kept.size() != removed_.size();
    if (freed) Notify();
    removed_ = std::move(kept);
    for (auto& program : programs_) {
        if (program->readError && FileExists(program->path)) {
            fail(program->path, program->readError);
            continue;
        }
        const std::vector<MenuEntry>& entries = program->list.entries();
        if (program->stored && *program->stored == entries) continue;
        ::SetLastError(ERROR_SUCCESS);
        if (!WriteListFile(program->path, entries, &program->seen, gPortable)) {
            fail(program->path, LastErrorOr(ERROR_WRITE_FAULT));
            continue;
        }
        program->stored = entries;
        program->readError = 0;
    }
    const std::string own = OwnEntriesOnly();
    const std::optional<std::string> stored = settings.Read(kOwnEntriesOnlyKey);
    if ((stored || !own.empty()) && stored.value_or("") != own) {
        ::SetLastError(ERROR_SUCCESS);
        if (!settings.Write(kOwnEntriesOnlyKey, own)) {
            const auto* place = dynamic_cast<const SettingsPlace*>(&settings);
            fail(place ? place->Describe() : std::string(kOwnEntriesOnlyKey),
                 LastErrorOr(ERROR_CANTWRITE), true);
        }
    }
    return failure;
}

std::string ProgramLists::OwnEntriesOnly() const {
    std::string own;
    for (const auto& program : programs_) {
        if (program->ownEntriesOnly) own += (own.empty() ? "" : ";") + program->key;
    }
    return own;
}

}  // namespace jumpnest
