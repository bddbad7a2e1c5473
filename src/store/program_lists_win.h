// The lists the user gives single programs, each an entry list of its own
// with its file beside the common entry file ("<exe>.<user>@<program>.ini",
// see program_lists.h), read and written with the common file's safety:
// whole saves, the owner and link checks, entries whose files are away kept.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/entry_list_win.h"
#include "store/entry_store_win.h"
#include "store/settings.h"

namespace jumpnest {

// The settings value that names the programs whose popup shows their own
// entries only, as "notepad.exe;mspaint.exe". Written only once a program is
// so marked, and cleared, not deleted, afterwards.
inline constexpr std::string_view kOwnEntriesOnlyKey = "OwnEntriesOnly";

class ProgramLists {
public:
    // One program's list. Its address stays the same until the list is
    // removed and the removal saved or cancelled (Load).
    struct Program {
        Program(std::string programKey, PictureSource source, FileProbe probe)
            : key(std::move(programKey)), list(std::move(source), std::move(probe)) {}
        std::string key;  // ProgramKey of the program: "notepad.exe"
        EntryList list;
        bool ownEntriesOnly = false;  // the popup shows no common entries under them
        std::string path;             // its file
        EntryFileStamp seen;          // what the file held when last read or written here
        DWORD readError = 0;          // why a file that is there could not be read
        // The entries as its file holds them (read or saved here); nothing
        // for a list not saved yet.
        std::optional<std::vector<MenuEntry>> stored;
        WPARAM tag = 0;  // the wParam of its pictures
    };

    ProgramLists(PictureSource source, FileProbe probe);
    ProgramLists(const ProgramLists&) = delete;
    ProgramLists& operator=(const ProgramLists&) = delete;

    // Where the lists live and who they are for (again after a move to a
    // portable copy), and the window that the lists' picture loaders post to
    // as kPicturesMessage, each with its list's tag as wParam (see
    // TakePictures); none in tests that want no pictures.
    void Locate(std::string dataFolder, std::string exeName, std::string userName,
                HWND window = nullptr);
    HWND window() const { return window_; }
    // Reads every list of this executable and user in the data folder, and
    // which of them show their own entries only (from `settings`), as they
    // are on disk: lists added or removed since the last Save are forgotten.
    void Load(const SettingsStore& settings);
    // Hands pictures to the list `tag` names; pictures of a list gone since
    // are dropped. Tag 0 is never a program list's.
    void TakePictures(WPARAM tag, std::unique_ptr<LoadedPictures> pictures);
    // Ends the loaders, waiting at most `waitMs` for each.
    void StopLoaders(unsigned waitMs);

    const std::vector<std::unique_ptr<Program>>& programs() const { return programs_; }
    // The list of `program` (a path or a file name, any case); nullptr when
    // it has none.
    Program* Find(std::string_view program);
    const Program* Find(std::string_view program) const;
    // An empty list for `program`, kept once saved; the one it has already
    // when it has one; nullptr when the name makes no file name.
    Program* Add(std::string_view program);
    // Forgets the list; its file is deleted by the next Save, and only its
    // file.
    void Remove(const Program* program);

    // Writes every list whose entries differ from its file, deletes the files
    // of removed lists and stores which lists show their own entries only.
    // The first failure, with the file (or settings place) it concerns, is
    // returned; every other list is still saved. A file changed by another
    // copy since it was read is left alone, with kErrorEntryFileChanged.
    // The first list that Save would write although another copy has saved
    // its file since it was read here; nullptr when there is none.
    const Program* ChangedElsewhere() const;

    struct Failure {
        std::string file;
        DWORD error = 0;
        bool settings = false;  // the settings place failed, not a list's file
    };
    std::optional<Failure> Save(SettingsStore& settings);

    // The value Save stores as kOwnEntriesOnlyKey: the keys of the lists that
    // show their own entries only, in the lists' order.
    std::string OwnEntriesOnly() const;

    // Called after lists were added, removed or read again.
    void Listen(std::function<void()> changed) { listeners_.push_back(std::move(changed)); }

private:
    PictureSource source_;
    FileProbe probe_;
    std::string dataFolder_, exeName_, userName_;
    HWND window_ = nullptr;
    // Starts the pictures of a list when there is a window to post them to.
    void StartLoader(Program& program);
    void Notify();

    std::vector<std::unique_ptr<Program>> programs_;
    // Removed lists, kept alive (their addresses stay valid) until a Save
    // has deleted their files or a Load has forgotten them.
    std::vector<std::unique_ptr<Program>> removed_;
    WPARAM lastTag_ = 0;
    std::vector<std::function<void()>> listeners_;
};

}  // namespace jumpnest
