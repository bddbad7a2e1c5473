#include "store/portable_win.h"

#include "core/encoding_win.h"
#include "core/environment_win.h"
#include "core/globals.h"
#include "core/trace_win.h"
#include "store/file_security_win.h"

namespace jumpnest {

PortableSettings::PortableSettings(std::string path) : path_(std::move(path)) {
    if (!Refresh()) Trace("portable settings: broken, the defaults are used: " + path_);
}

bool PortableSettings::Refresh() {
    EntryFileStamp now;
    std::optional<std::string> bytes = ReadTrustedFile(path_, &now);
    const DWORD error = ::GetLastError();
    if (!bytes) {
        // No file yet: a settings file without settings, which the first
        // Write makes. Any other reason leaves the file as it is.
        if (FileExists(path_) || (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)) {
            broken_ = true;
            return false;
        }
        if (seen_.present) document_ = {};  // deleted since: nothing of it is kept
        seen_ = {};
        return true;
    }
    if (seen_.present && now == seen_) return true;
    std::optional<IniDocument> document = IniDocument::Parse(*bytes);
    if (!document) {
        broken_ = true;
        return false;
    }
    document_ = std::move(*document);
    seen_ = now;
    return true;
}

std::optional<std::string> PortableSettings::Read(std::string_view key) const {
    return document_.Value(kSettingsSection, key);
}

bool PortableSettings::Write(std::string_view key, std::string_view value) {
    // A file that is broken, or became so, is the user's to mend: a save
    // would replace it with the defaults.
    if (broken_ || !Refresh()) {
        ::SetLastError(ERROR_FILE_CORRUPT);
        return false;
    }
    IniDocument changed = document_;
    if (!changed.Set(kSettingsSection, key, value)) {
        ::SetLastError(ERROR_INVALID_DATA);
        return false;
    }
    if (!WriteFileWhole(path_, changed.Text(), &seen_)) return false;
    document_ = std::move(changed);
    return true;
}

SettingsPlace::SettingsPlace(std::string_view application)
    : application_(application), registry_(application) {
    if (PortableCopy()) portable_ = std::make_unique<PortableSettings>(PortableSettingsPath());
}

std::string SettingsPlace::Describe() const {
    return portable_ ? portable_->path() : "HKEY_CURRENT_USER\\" + Narrow(registry_.KeyPath());
}

std::optional<std::string> SettingsPlace::Read(std::string_view key) const {
    return portable_ ? portable_->Read(key) : registry_.Read(key);
}

bool SettingsPlace::Write(std::string_view key, std::string_view value) {
    return portable_ ? portable_->Write(key, value) : registry_.Write(key, value);
}

bool VolumeKeepsOwners(std::string_view path) {
    const std::wstring name = Widen(path);
    std::wstring root(name.size() + 2, L'\0');
    if (name.empty() ||
        !::GetVolumePathNameW(name.c_str(), root.data(), static_cast<DWORD>(root.size()))) {
        return KeepsOwners(std::nullopt);
    }
    DWORD flags = 0;
    if (!::GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0)) {
        return KeepsOwners(std::nullopt);
    }
    return KeepsOwners(flags);
}

std::optional<std::vector<MenuEntry>> ReadListFile(const std::string& path, EntryFileStamp* seen,
                                                   DWORD& readError) {
    std::optional<std::vector<MenuEntry>> entries = ReadEntryFile(path, seen);
    readError = !entries && FileExists(path) ? LastErrorOr(ERROR_READ_FAULT) : 0;
    if (readError) {
        Trace("a list could not be read: " + path + ", error " + std::to_string(readError));
    }
    if (!entries || !gPortable) return entries;
    for (MenuEntry& entry : *entries) entry.target = ResolvedTarget(entry.target, gAppPath);
    KeepFirstOfEachTarget(*entries);
    return entries;
}

bool WriteListFile(const std::string& path, const std::vector<MenuEntry>& entries,
                   EntryFileStamp* seen, bool portable) {
    if (!portable) return WriteEntryFile(path, entries, seen);
    std::vector<MenuEntry> stored = entries;
    for (MenuEntry& entry : stored) entry.target = StoredTarget(entry.target, gAppPath);
    return WriteEntryFile(path, stored, seen);
}

}  // namespace jumpnest
