// Who may write the entry file, and whose file it is. The data folder is
// shared by every user of the machine, so another user could put a list
// there before a user's first start and so choose what that user's launcher
// starts. The entry file is therefore created for its user alone, and a file
// owned by another ordinary user, one that others may change, or one that is
// only a link to another place is never used.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "core/handle_win.h"

namespace jumpnest {

// The reason given when the entry file belongs to another user: an
// application-defined error code (bit 29 set), so that it never collides
// with a system one.
inline constexpr DWORD kErrorFileOfAnotherUser = 0x20000000u | 0x4A01u;
// The reason given when the entry file, though of a trusted owner, is not a
// plain file of one name or other users may change it.
inline constexpr DWORD kErrorUnsafeEntryFile = 0x20000000u | 0x4A02u;

// Security for a new file that only its user, SYSTEM and the Administrators
// may open, inheriting nothing from the shared folder.
class PrivateFileSecurity {
public:
    PrivateFileSecurity();
    PrivateFileSecurity(const PrivateFileSecurity&) = delete;
    PrivateFileSecurity& operator=(const PrivateFileSecurity&) = delete;

    // For CreateFileW; nullptr when the descriptor could not be built.
    SECURITY_ATTRIBUTES* attributes() { return descriptor_ ? &attributes_ : nullptr; }

private:
    UniqueLocal descriptor_;
    SECURITY_ATTRIBUTES attributes_{};
};

// Whether a file owned by `owner` may be trusted: this user, SYSTEM, the
// Administrators group, TrustedInstaller, or an account that belongs to the
// Administrators (who could change the file anyway).
bool IsTrustedOwner(PSID owner);

// Whether only trusted accounts may change a file with this access list:
// none but IsTrustedOwner's accounts, or CREATOR OWNER and OWNER RIGHTS (at
// most the owner, trusted by then), may write, append, delete, re-own or
// change the list itself. No list at all lets everybody in. Denying entries
// are passed over and each allowing one is judged alone: at worst a file that
// a denial would have kept safe is refused, never the other way round.
bool OnlyTrustedMayChange(PACL dacl);

// Whether the open file may serve as the entry file, both for reading it and
// for replacing it, so that the two never disagree. The file must be opened
// with READ_CONTROL and FILE_READ_ATTRIBUTES, and with
// FILE_FLAG_OPEN_REPARSE_POINT so that a link is seen rather than followed.
// It passes when its owner is trusted, it is a plain file (no folder, no
// symbolic link or junction) with no second name (a hard link), and its
// access list lets nobody but the trusted accounts change, delete or re-own
// it. Otherwise false, with the last error kErrorFileOfAnotherUser (owner
// first, so that another user's file is called that), kErrorUnsafeEntryFile,
// or the system's error when the file cannot be examined: what cannot be
// checked is not trusted either. A file system that records no owner (FAT)
// keeps no access lists either and passes the security part, and so does any
// file when `checkOwner` is false (see KeepsOwners): only the link and the
// second name are checked then.
bool IsSafeEntryFile(HANDLE file, bool checkOwner = true);

// Whether a volume whose file system reports `fileSystemFlags`
// (GetVolumeInformationW's) keeps owners and access lists, and so whether a
// file there must pass the owner check: FAT and exFAT keep none, and there
// every user may write every file, so that no file could pass. A volume that
// cannot be asked (nothing) is checked all the same.
bool KeepsOwners(std::optional<DWORD> fileSystemFlags);

// The folders above a file, held open for as long as this lives. Each must
// be a folder in its own right, not a junction or a symbolic link to another
// place, and the system must name it as the path does below the folder above
// it; while it is held nobody can rename or delete it and put a link in its
// place, so a path through them reaches what was checked. The entry file's
// two (the data folder and the maker's folder) are the ones the program
// makes where every user may create things; the folders above them are the
// system's.
class PinnedFolders {
public:
    // False, with the last error kErrorUnsafeEntryFile for a link, or
    // ERROR_PATH_NOT_FOUND or the system's error when a folder is not there.
    bool Pin(const std::wstring& file, int levels = 2);

    // Whether the open `file` is the one that `path` names in the innermost
    // held folder, and not what a link in its place leads to. False with the
    // last error kErrorUnsafeEntryFile otherwise.
    bool Holds(HANDLE file, const std::wstring& path) const;

private:
    std::vector<UniqueFile> folders_;
    std::wstring innermost_;  // the innermost folder as the system names it
};

}  // namespace jumpnest
