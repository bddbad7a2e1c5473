#include "store/file_security_win.h"

#include <aclapi.h>
#include <lm.h>
#include <sddl.h>

#include <array>
#include <string>
#include <string_view>

#include "core/encoding_win.h"
#include "core/environment_win.h"
#include "core/trace_win.h"

namespace jumpnest {

namespace {

// TrustedInstaller installs and services Windows' own files.
constexpr wchar_t kTrustedInstallerSid[] =
    L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

bool IsWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type) {
    return ::IsWellKnownSid(sid, type) != FALSE;
}

bool IsSidText(PSID sid, const wchar_t* text) {
    PSID other = nullptr;
    if (!::ConvertStringSidToSidW(text, &other)) return false;
    UniqueLocal owner(other);
    return ::EqualSid(sid, other) != FALSE;
}

std::wstring AccountName(PSID sid) {
    std::array<wchar_t, 256> name{};
    std::array<wchar_t, 256> domain{};
    DWORD nameLength = name.size();
    DWORD domainLength = domain.size();
    SID_NAME_USE use{};
    if (!::LookupAccountSidW(nullptr, sid, name.data(), &nameLength, domain.data(), &domainLength,
                             &use)) {
        return {};
    }
    if (use != SidTypeUser) return {};
    return std::wstring(domain.data()) + L"\\" + name.data();
}

// Whether the account is a member of the local Administrators, directly or
// through a group. netapi32 is loaded only for this rare question, from the
// system folder, so that the program's start does not pay for it.
bool IsAdministratorAccount(PSID sid) {
    const std::wstring account = AccountName(sid);
    if (account.empty()) return false;

    std::array<BYTE, SECURITY_MAX_SID_SIZE> adminsSid{};
    DWORD size = adminsSid.size();
    if (!::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, adminsSid.data(), &size)) {
        return false;
    }
    std::array<wchar_t, 256> admins{};
    std::array<wchar_t, 256> domain{};
    DWORD adminsLength = admins.size();
    DWORD domainLength = domain.size();
    SID_NAME_USE use{};
    if (!::LookupAccountSidW(nullptr, adminsSid.data(), admins.data(), &adminsLength, domain.data(),
                             &domainLength, &use)) {
        return false;
    }

    UniqueModule netapi(::LoadLibraryExW(L"netapi32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (!netapi) return false;
    using LocalGroupsFn =
        NET_API_STATUS(WINAPI*)(LPCWSTR, LPCWSTR, DWORD, DWORD, LPBYTE*, DWORD, LPDWORD, LPDWORD);
    using FreeFn = NET_API_STATUS(WINAPI*)(LPVOID);
    const auto localGroups = reinterpret_cast<LocalGroupsFn>(
        reinterpret_cast<void*>(::GetProcAddress(netapi.get(), "NetUserGetLocalGroups")));
    const auto free = reinterpret_cast<FreeFn>(
        reinterpret_cast<void*>(::GetProcAddress(netapi.get(), "NetApiBufferFree")));
    if (!localGroups || !free) return false;

    LPBYTE buffer = nullptr;
    DWORD read = 0;
    DWORD total = 0;
    if (localGroups(nullptr, account.c_str(), 0, LG_INCLUDE_INDIRECT, &buffer, MAX_PREFERRED_LENGTH,
                    &read, &total) != NERR_Success) {
        if (buffer) free(buffer);
        return false;
    }
    bool member = false;
    const auto* groups = reinterpret_cast<const LOCALGROUP_USERS_INFO_0*>(buffer);
    for (DWORD i = 0; i < read && !member; ++i) {
        member = ::CompareStringOrdinal(groups[i].lgrui0_name, -1, admins.data(), -1, TRUE) ==
                 CSTR_EQUAL;
    }
    free(buffer);
    return member;
}

// What lets its holder change what the file says, or take it away or make it
// their own and so put another list in its place.
constexpr ACCESS_MASK kChangeRights = FILE_WRITE_DATA | FILE_APPEND_DATA | WRITE_DAC | WRITE_OWNER |
                                      DELETE | GENERIC_WRITE | GENERIC_ALL;

bool IsTrustedInAccessList(PSID sid) {
    // CREATOR OWNER and OWNER RIGHTS stand at most for the file's owner, who
    // is trusted by the time the access list is looked at.
    return IsWellKnown(sid, WinCreatorOwnerSid) || IsWellKnown(sid, WinCreatorOwnerRightsSid) ||
           IsTrustedOwner(sid);
}

}  // namespace

PrivateFileSecurity::PrivateFileSecurity() {
    const std::wstring user = Widen(CurrentUserSid());
    if (user.empty()) return;
    // P: nothing is inherited from the folder, where every user may create
    // files. FA: full access, for the user, SYSTEM (SY) and the
    // Administrators (BA) alone.
    const std::wstring sddl = L"D:P(A;;FA;;;" + user + L")(A;;FA;;;SY)(A;;FA;;;BA)";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                                &descriptor, nullptr)) {
        Trace("file security: the descriptor could not be built, error " +
              std::to_string(::GetLastError()));
        return;
    }
    descriptor_.reset(descriptor);
    attributes_.nLength = sizeof(attributes_);
    attributes_.lpSecurityDescriptor = descriptor;
    attributes_.bInheritHandle = FALSE;
}

bool IsTrustedOwner(PSID owner) {
    if (!owner || !::IsValidSid(owner)) return false;
    if (IsWellKnown(owner, WinLocalSystemSid) || IsWellKnown(owner, WinBuiltinAdministratorsSid) ||
        IsSidText(owner, kTrustedInstallerSid)) {
        return true;
    }
    const std::wstring user = Widen(CurrentUserSid());
    if (!user.empty() && IsSidText(owner, user.c_str())) return true;
    return IsAdministratorAccount(owner);
}

bool OnlyTrustedMayChange(PACL dacl) {
    if (!dacl) return false;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* entry = nullptr;
        if (!::GetAce(dacl, i, &entry)) return false;
        const auto* ace = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
        // Inherit-only entries are for what is made inside a folder.
        if ((ace->Header.AceFlags & INHERIT_ONLY_ACE) || !(ace->Mask & kChangeRights)) continue;
        switch (ace->Header.AceType) {
        case ACCESS_DENIED_ACE_TYPE:
        case ACCESS_DENIED_CALLBACK_ACE_TYPE:
        case ACCESS_DENIED_OBJECT_ACE_TYPE:
        case ACCESS_DENIED_CALLBACK_OBJECT_ACE_TYPE:
            continue;
        case ACCESS_ALLOWED_ACE_TYPE:
        case ACCESS_ALLOWED_CALLBACK_ACE_TYPE:
            if (IsTrustedInAccessList(const_cast<DWORD*>(&ace->SidStart))) continue;
            return false;
        default:  // object entries and whatever else files do not carry
            return false;
        }
    }
    return true;
}

bool KeepsOwners(std::optional<DWORD> fileSystemFlags) {
    return !fileSystemFlags || (*fileSystemFlags & FILE_PERSISTENT_ACLS);
}

bool IsSafeEntryFile(HANDLE file, bool checkOwner) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file, &info)) return false;
    // A hard link lets another name, perhaps in a folder of another user,
    // stand for the same file; a reparse point sends the reader elsewhere.
    const bool plain =
        !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
        info.nNumberOfLinks == 1;
    if (!checkOwner) {
        if (plain) return true;
        ::SetLastError(kErrorUnsafeEntryFile);
        return false;
    }
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD result = ::GetSecurityInfo(file, SE_FILE_OBJECT,
                                           OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                           &owner, nullptr, &dacl, nullptr, &descriptor);
    if (result != ERROR_SUCCESS) {
        ::SetLastError(result);
        return false;
    }
    UniqueLocal keep(descriptor);
    if (owner && !IsTrustedOwner(owner)) {
        ::SetLastError(kErrorFileOfAnotherUser);
        return false;
    }
    // A file system that keeps no owners (FAT) lets every user write every
    // file anyway: there is nobody to check.
    if (plain && (!owner || OnlyTrustedMayChange(dacl))) return true;
    ::SetLastError(kErrorUnsafeEntryFile);
    return false;
}

namespace {

// The path the system reaches through the handle, links resolved.
std::wstring FinalPath(HANDLE handle) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()),
                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(length);
    }
}

// Whether `child` is `name` right inside `parent`, as the file system
// compares names: without regard to case.
bool IsChildOf(const std::wstring& child, const std::wstring& parent, std::wstring_view name) {
    if (child.empty() || parent.empty()) return false;
    std::wstring expected = parent;
    if (expected.back() != L'\\') expected += L'\\';
    expected += name;
    return ::CompareStringOrdinal(child.c_str(), static_cast<int>(child.size()), expected.c_str(),
                                  static_cast<int>(expected.size()), TRUE) == CSTR_EQUAL;
}

std::wstring_view NameOf(const std::wstring& path) {
    return std::wstring_view(path).substr(path.find_last_of(L'\\') + 1);
}

}  // namespace

bool PinnedFolders::Pin(const std::wstring& file, int levels) {
    // The folders to hold, innermost first, then the one above them, whose
    // name the system gives is the measure for theirs.
    std::vector<std::wstring> folders;
    std::wstring folder = file;
    for (int i = 0; i <= levels; ++i) {
        const size_t separator = folder.find_last_of(L'\\');
        // A drive's root ("C:") is no link; a relative name has no folders.
        if (separator == std::wstring::npos || separator < 3) break;
        folder.resize(separator);
        folders.push_back(folder);
    }
    std::wstring above;
    if (folders.size() > static_cast<size_t>(levels)) {
        const UniqueFile anchor(
            ::CreateFileW(folders.back().c_str(), FILE_READ_ATTRIBUTES,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        above = anchor ? FinalPath(anchor.get()) : std::wstring();
        folders.pop_back();
    }
    // From the top down, so that each folder is opened through held ones.
    for (auto name = folders.rbegin(); name != folders.rend(); ++name) {
        // No FILE_SHARE_DELETE: a rename or deletion of the folder must open
        // it for DELETE, which this handle refuses while it is held.
        UniqueFile handle(::CreateFileW(
            name->c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!handle) {
            // The file's path is what is missing, as opening the file says.
            if (::GetLastError() == ERROR_FILE_NOT_FOUND) ::SetLastError(ERROR_PATH_NOT_FOUND);
            return false;
        }
        BY_HANDLE_FILE_INFORMATION info{};
        if (!::GetFileInformationByHandle(handle.get(), &info)) return false;
        std::wstring reached = FinalPath(handle.get());
        // A file where a folder belongs leaves the path unfound, as opening
        // the file through it would say.
        if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ::SetLastError(ERROR_PATH_NOT_FOUND);
            return false;
        }
        // Wine follows a Unix symbolic link even here and calls it a plain
        // folder: only the name the system gives betrays it.
        if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
            (!above.empty() && !IsChildOf(reached, above, NameOf(*name)))) {
            ::SetLastError(kErrorUnsafeEntryFile);
            return false;
        }
        folders_.push_back(std::move(handle));
        above = std::move(reached);
    }
    innermost_ = std::move(above);
    return true;
}

bool PinnedFolders::Holds(HANDLE file, const std::wstring& path) const {
    if (innermost_.empty() || IsChildOf(FinalPath(file), innermost_, NameOf(path))) return true;
    ::SetLastError(kErrorUnsafeEntryFile);
    return false;
}

}  // namespace jumpnest
