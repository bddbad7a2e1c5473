#include "core/environment_win.h"

#include <sddl.h>
#include <shlobj.h>

#include <cstring>
#include <cwchar>
#include <vector>

#include "core/encoding_win.h"
#include "core/globals.h"
#include "core/handle_win.h"
#include "core/instance_win.h"
#include "core/paths.h"
#include "core/text.h"
#include "core/trace_win.h"
#include "core/language.h"

namespace jumpnest {

HWND gDesktopWnd = nullptr;

namespace {

// Largest path Windows handles at all (with the "\\?\" prefix).
constexpr DWORD kMaxLongPath = 32768;

DWORD Attributes(std::string_view path) {
    return ::GetFileAttributesW(Widen(path).c_str());
}

using UniqueIdList = Unique<PIDLIST_ABSOLUTE, NullTraits<PIDLIST_ABSOLUTE, ::CoTaskMemFree>>;

// The folders below the shared application-data folder, which every user
// reaches. "P": nothing is inherited from there, where whoever creates a
// folder owns everything inside it. SYSTEM (SY) and the Administrators (BA)
// have full control throughout. The Users (BU) may list, read and traverse,
// and create (0x4 in the maker's folder: folders for renamed copies; 0x2 in
// the data folder: files), on the folder alone; never delete a child (0x40),
// so that no user may delete, rename or replace another user's file or
// folder. OWNER RIGHTS (OW) takes from whoever created the folder the right
// to change its access list, which an owner has otherwise. CREATOR OWNER (CO)
// gives each new file to its creator alone.
constexpr wchar_t kMakerFolderSecurity[] =
    L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;;0x1200ad;;;BU)(A;;0x1200ad;;;OW)";
constexpr wchar_t kDataFolderSecurity[] =
    L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;;0x1200ab;;;BU)(A;;0x1200ab;;;OW)(A;OIIO;FA;;;CO)";

bool CreateFolder(const std::string& folder, const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (sddl && !::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1,
                                                                        &descriptor, nullptr)) {
        Trace("folder security could not be built, error " + std::to_string(::GetLastError()));
        return false;
    }
    UniqueLocal keep(descriptor);
    SECURITY_ATTRIBUTES attributes{static_cast<DWORD>(sizeof(attributes)), descriptor, FALSE};
    // A folder that is there already, made by an earlier version or by
    // another user, keeps the access list it has: it is not ours to rewrite.
    if (::CreateDirectoryW(Widen(folder).c_str(), sddl ? &attributes : nullptr) ||
        ::GetLastError() == ERROR_ALREADY_EXISTS) {
        return true;
    }
    Trace("create folder failed: " + folder);
    return false;
}

}  // namespace

bool FileExists(std::string_view path) {
    if (path.empty()) return false;
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirExists(std::string_view path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreatePath(std::string_view folder) {
    if (DirExists(folder)) return true;
    for (const std::string& step : FolderChain(folder)) {
        if (!CreateFolder(step, nullptr)) return false;
    }
    return DirExists(folder);
}

const wchar_t* SharedFolderSecurity(bool dataFolder) {
    return dataFolder ? kDataFolderSecurity : kMakerFolderSecurity;
}

bool CreateSharedDataFolder(std::string_view shared, std::string_view folder) {
    if (DirExists(folder)) return true;
    const std::vector<std::string> chain = FolderChain(folder);
    const size_t below = FolderChain(shared).size();
    for (size_t i = 0; i < chain.size(); ++i) {
        const wchar_t* sddl = i < below ? nullptr : SharedFolderSecurity(i + 1 == chain.size());
        if (!CreateFolder(chain[i], sddl)) return false;
    }
    return DirExists(folder);
}

std::vector<Removal> RemoveSharedDataFolder(std::string_view shared, std::string_view folder) {
    // Without a shared folder the data folder is the program's own.
    if (shared.empty()) return {};
    const std::vector<std::string> chain = FolderChain(folder);
    std::vector<Removal> removed;
    for (size_t i = chain.size(); i > FolderChain(shared).size(); --i) {
        const std::string& name = chain[i - 1];
        if (!DirExists(name)) continue;
        if (::RemoveDirectoryW(Widen(name).c_str())) {
            removed.push_back({name, 0});
            continue;
        }
        const DWORD error = ::GetLastError();
        if (error != ERROR_DIR_NOT_EMPTY) removed.push_back({name, error});
        break;
    }
    return removed;
}

std::string GetSpecialFolder(int folderNumber) {
    UniqueIdList idList;
    {
        PIDLIST_ABSOLUTE raw = nullptr;
        if (FAILED(::SHGetSpecialFolderLocation(nullptr, folderNumber, &raw))) {
            // The shell gives no location for a folder that someone deleted
            // (the Startup folder, say), yet its path is still known: the
            // caller creates the folder when it writes there.
            std::wstring path(MAX_PATH, L'\0');
            if (FAILED(::SHGetFolderPathW(nullptr, folderNumber | CSIDL_FLAG_DONT_VERIFY, nullptr,
                                          SHGFP_TYPE_CURRENT, path.data()))) {
                return {};
            }
            path.resize(path.find(L'\0'));
            if (path.size() > 3 && path.back() == L'\\') path.pop_back();
            return Narrow(path);
        }
        idList.reset(raw);
    }
    std::wstring path(MAX_PATH, L'\0');
    while (!::SHGetPathFromIDListEx(idList.get(), path.data(), static_cast<DWORD>(path.size()),
                                    GPFIDL_DEFAULT)) {
        // The call gives no length; a folder the shell has but whose path does
        // not fit is retried with more room, one that has no path gives up.
        if (path.size() >= kMaxLongPath) return {};
        path.assign(path.size() * 4, L'\0');
    }
    path.resize(path.find(L'\0'));
    // Windows names folders without a trailing "" (Wine sometimes adds one);
    // only a drive's root keeps it.
    if (path.size() > 3 && path.back() == L'\\') path.pop_back();
    return Narrow(path);
}

bool SetCurDir(std::string_view path) {
    return ::SetCurrentDirectoryW(Widen(path).c_str()) != 0;
}

OsVersion TrueOsVersion() {
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    const auto rtlGetVersion = ntdll ? reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(
                                           ::GetProcAddress(ntdll, "RtlGetVersion")))
                                     : nullptr;
    if (!rtlGetVersion || rtlGetVersion(&info) != 0) return {};
    return {info.dwPlatformId == VER_PLATFORM_WIN32_NT, info.dwMajorVersion, info.dwMinorVersion,
            info.dwBuildNumber};
}

std::string ExecutablePath() {
    // The program file does not move while it runs: asked once.
    static const std::string path = [] {
        std::wstring buffer(MAX_PATH, L'\0');
        for (;;) {
            const DWORD length =
                ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
            if (length == 0) return std::string();
            if (length < buffer.size()) {
                buffer.resize(length);
                return Narrow(buffer);
            }
            if (buffer.size() >= kMaxLongPath) return std::string();
            buffer.resize(buffer.size() * 2);
        }
    }();
    return path;
}

std::string ExecutableName() {
    return GetFileName(ExecutablePath(), false);
}

std::string CurrentUserName() {
    DWORD size = 0;
    ::GetUserNameW(nullptr, &size);
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) return {};
    std::wstring name(size, L'\0');
    if (!::GetUserNameW(name.data(), &size)) return {};
    name.resize(name.find(L'\0'));
    return Narrow(name);
}

std::string CurrentUserSid() {
    return ProcessUserSid(::GetCurrentProcess());
}

std::string ProcessUserSid(HANDLE process) {
    UniqueHandle token;
    {
        HANDLE raw = nullptr;
        if (!::OpenProcessToken(process, TOKEN_QUERY, &raw)) return {};
        token.reset(raw);
    }
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    if (size == 0) return {};
    std::vector<BYTE> buffer(size);
    if (!::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return {};
    const auto* user = reinterpret_cast<const TOKEN_USER*>(buffer.data());
    LPWSTR text = nullptr;
    if (!::ConvertSidToStringSidW(user->User.Sid, &text)) return {};
    UniqueLocal owner(text);
    return Narrow(text);
}

std::string PortableSettingsPath() {
    return AddBackslash(GetParentFolder(ExecutablePath())) + std::string(kPortableSettingsName);
}

bool PortableCopy() {
    return FileExists(PortableSettingsPath());
}

std::string ExpandedTarget(std::string_view target) {
    if (target.find('%') == std::string_view::npos) return std::string(target);
    return ExpandVariables(target, [](std::string_view name) -> std::optional<std::string> {
        const std::wstring wide = Widen(name);
        std::wstring value(64, L'\0');
        for (;;) {
            ::SetLastError(ERROR_SUCCESS);
            const DWORD length = ::GetEnvironmentVariableW(wide.c_str(), value.data(),
                                                           static_cast<DWORD>(value.size()));
            // 0 is also the length of a variable set to nothing: only the
            // error tells a missing one.
            if (length == 0 && ::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
            if (length < value.size()) {
                value.resize(length);
                return Narrow(value);
            }
            if (length >= kMaxLongPath) return std::nullopt;
            value.resize(length);
        }
    });
}

// Read from the file's resources without version.dll: that library is no
// KnownDLL, and a copy of it planted beside the program would be loaded in
// its place. Loaded as an image resource, the file runs no code.
std::optional<ModuleVersion> ReadVersionRecord(std::string_view file) {
    UniqueModule module(::LoadLibraryExW(
        Widen(file).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!module) return std::nullopt;
    HRSRC found = ::FindResourceW(module.get(), MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
    HGLOBAL loaded = found ? ::LoadResource(module.get(), found) : nullptr;
    const auto* data = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    if (!data) return std::nullopt;
    // The record starts with its length, its value's length and its type,
    // then the key "VS_VERSION_INFO" with its null; the value, a
    // VS_FIXEDFILEINFO, follows on the next 32-bit boundary.
    constexpr std::size_t kValueAt = (3 * sizeof(WORD) + sizeof(L"VS_VERSION_INFO") + 3) & ~3u;
    const DWORD size = ::SizeofResource(module.get(), found);
    WORD valueLength = 0;
    if (size >= kValueAt) std::memcpy(&valueLength, data + sizeof(WORD), sizeof(valueLength));
    VS_FIXEDFILEINFO fixed{};
    if (size < kValueAt + sizeof(fixed) || valueLength < sizeof(fixed) ||
        std::wmemcmp(reinterpret_cast<const wchar_t*>(data + 3 * sizeof(WORD)), L"VS_VERSION_INFO",
                     16) != 0) {
        return std::nullopt;
    }
    std::memcpy(&fixed, data + kValueAt, sizeof(fixed));
    if (fixed.dwSignature != VS_FFI_SIGNATURE) return std::nullopt;
    return ModuleVersion{HIWORD(fixed.dwFileVersionMS), LOWORD(fixed.dwFileVersionMS),
                         HIWORD(fixed.dwFileVersionLS)};
}

void NarrowLibrarySearch() {
    // Windows 8 and later, and Windows 7 with its 2011 loader update, can
    // leave the program's own folder out of the search; without them, the
    // current folder at least goes.
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    const auto setDirectories = reinterpret_cast<SetDirectories>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (!setDirectories || !setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) ::SetDllDirectoryW(L"");
}

void ProbeLocaleAndVersion() {
    gGermanLocale = IsGermanLocale(::GetUserDefaultLCID());
    gAppVersion = AppVersionNumber(ReadVersionRecord(ExecutablePath()).value_or(ModuleVersion{}));
    gAppVersionText = AppVersionText(gAppVersion);
}

void ProbeSystem() {
    const OsVersion os = TrueOsVersion();
    gWinVersion = WinVersionCodeFor(os.isNt, os.major, os.minor);
    gUserName = CurrentUserName();

    gAppPath = AddBackslash(GetParentFolder(ExecutablePath()));
    SetCurDir(gAppPath);  // relative paths resolve against the program folder

    gPersonalFolder = GetSpecialFolder(kFolderPersonal);
    if (gPersonalFolder.empty()) {
        gPersonalFolder = kFallbackPersonalFolder;
        CreatePath(gPersonalFolder);
    }

    // A portable copy keeps its lists beside it and makes nothing in the
    // shared application data: it leaves no trace on the machine it visits.
    gPortable = PortableCopy();
    if (gPortable) {
        gDataFolder = gAppPath;
    } else {
        const std::string commonAppData = GetSpecialFolder(kFolderCommonAppData);
        gDataFolder = DataFolderPath(commonAppData, ExecutableName(), gAppPath);
        // A data folder that cannot be created does not stop the start: the
        // entry file simply cannot be written there later.
        if (!commonAppData.empty()) CreateSharedDataFolder(commonAppData, gDataFolder);
    }

    gDesktopWnd = ::GetDesktopWindow();

    if (!TraceEnabled()) return;
    Trace("winver: " + std::to_string(gWinVersion));
    Trace("version: " + gAppVersionText);
    Trace("user: " + gUserName);
    Trace(std::string("german locale: ") + (gGermanLocale ? "1" : "0"));
    Trace("app path: " + gAppPath);
    Trace("personal folder: " + gPersonalFolder);
    Trace("data folder: " + gDataFolder);
    if (gPortable) Trace("portable: 1");
}

bool InitEnvironment() {
    ProbeLocaleAndVersion();
    if (!ClaimInstance(ExecutableName(), CurrentUserSid())) {
        BringRunningInstanceForward(ExecutableName());
        return false;
    }
    ProbeSystem();
    return true;
}

}  // namespace jumpnest
