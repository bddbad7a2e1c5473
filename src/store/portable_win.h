// A portable copy on Windows: its settings file beside the exe, the choice
// between that file and the registry, and moving an installed copy's
// settings and lists beside the exe.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/entry_store_win.h"
#include "store/portable.h"
#include "store/settings_win.h"

namespace jumpnest {

// Section "Settings" of a portable copy's kqrJumpnest.ini, under the
// registry's names. The file is read once; every Write saves it whole, as the
// entry file is saved (a new file beside it that replaces it in one step),
// keeping its comments, other sections and keys this version does not know.
// What the user changed in the file meanwhile (in Notepad, while the program
// runs) is read again before a Write and kept too.
// A file that is there but holds no settings file (see IniDocument::Parse),
// or cannot be read, is "broken": it reads as empty, so the defaults are
// used, and Write refuses (false, ERROR_FILE_CORRUPT) so that no save
// replaces what the user may still mend.
class PortableSettings final : public SettingsStore {
public:
    explicit PortableSettings(std::string path);
    const std::string& path() const { return path_; }
    bool broken() const { return broken_; }
    std::optional<std::string> Read(std::string_view key) const override;
    bool Write(std::string_view key, std::string_view value) override;

private:
    // Reads the file into the document when it no longer holds what was
    // last read or written here; false when it cannot be read or is no
    // settings file (it is broken then).
    bool Refresh();

    std::string path_;
    IniDocument document_;
    EntryFileStamp seen_;
    bool broken_ = false;
};

// Where the options live: the registry, or the portable settings file when
// one lies beside the exe (gPortable). The File menu's move to a portable
// copy switches it while the program runs.
class SettingsPlace final : public SettingsStore {
public:
    // Chooses as the environment probe chooses gPortable (PortableCopy), so
    // that it may be made before the probe runs. Other application names
    // than the program's own are for tests.
    explicit SettingsPlace(std::string_view application = kSettingsApplication);
    bool portable() const { return portable_ != nullptr; }
    // The portable settings file, when this copy is portable.
    const PortableSettings* portableFile() const { return portable_.get(); }
    // The registry key or the file, as a message names the place.
    std::string Describe() const;
    std::optional<std::string> Read(std::string_view key) const override;
    bool Write(std::string_view key, std::string_view value) override;
    // From now on the options live in `file`.
    void UsePortable(std::unique_ptr<PortableSettings> file) { portable_ = std::move(file); }
    // The registry's settings, which a move to a portable copy takes along.
    const RegistrySettings& registry() const { return registry_; }
    const std::string& application() const { return application_; }

private:
    std::string application_;
    RegistrySettings registry_;
    std::unique_ptr<PortableSettings> portable_;
};

// Whether the file system holding `path` keeps owners and access lists
// (NTFS, ReFS): FAT and exFAT do not, and there the owner check of the lists
// is skipped, as nobody could pass it.
bool VolumeKeepsOwners(std::string_view path);

// A list file (the common one or a program's) as this copy keeps it: in a
// portable copy targets on the exe's drive are kept relative to its folder
// (StoredTarget, ResolvedTarget), elsewhere as they are. ReadListFile is
// ReadEntryFile with the targets read back whole (of two that name the same
// file the first is kept, as for the lines of one file); `readError` is why a
// file that is there could not be read, else 0. WriteListFile is
// WriteEntryFile, the last error telling why it failed.
std::optional<std::vector<MenuEntry>> ReadListFile(const std::string& path, EntryFileStamp* seen,
                                                   DWORD& readError);
bool WriteListFile(const std::string& path, const std::vector<MenuEntry>& entries,
                   EntryFileStamp* seen, bool portable);

}  // namespace jumpnest
