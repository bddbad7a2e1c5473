// The environment probe and the small file-system operations every part of
// the program shares.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/version.h"

namespace jumpnest {

extern HWND gDesktopWnd;  // set by the probe; owner of shell calls

// Shell folder numbers in use.
inline constexpr int kFolderPersonal = 0x0005;       // CSIDL_PERSONAL
inline constexpr int kFolderStartup = 0x0007;        // CSIDL_STARTUP
inline constexpr int kFolderCommonAppData = 0x0023;  // CSIDL_COMMON_APPDATA

// False for "" and for folders.
bool FileExists(std::string_view path);
// False for files and for paths that do not exist.
bool DirExists(std::string_view path);
// Creates the folder and every missing folder above it. True when the folder
// exists afterwards (also when it existed before).
bool CreatePath(std::string_view folder);
// CreatePath for the data folder below `shared`, the application-data folder
// of all users. The folders it makes below `shared` let every user create
// their own file in the data folder (and their own folder in the ones between,
// for renamed copies), and nobody but the file's owner, SYSTEM and the
// Administrators delete, rename or replace it. Folders that exist already
// keep the access lists they have.
bool CreateSharedDataFolder(std::string_view shared, std::string_view folder);
// What an uninstall removed (error 0) or found and could not remove (the
// system's reason).
struct Removal {
    std::string place;
    DWORD error = 0;
};
// Undoes CreateSharedDataFolder as far as it can without touching anything
// of anyone else's: the data folder, then each folder between it and
// `shared`, innermost first, each only when it is empty. A folder that is not
// empty stays, and so do the ones above it.
std::vector<Removal> RemoveSharedDataFolder(std::string_view shared, std::string_view folder);
// The security, in SDDL, CreateSharedDataFolder gives the data folder or a
// folder between it and the shared one.
const wchar_t* SharedFolderSecurity(bool dataFolder);
// The path of a shell folder by its CSIDL number; "" when the shell has none.
std::string GetSpecialFolder(int folderNumber);
bool SetCurDir(std::string_view path);

struct OsVersion {
    bool isNt = false;
    unsigned major = 0;
    unsigned minor = 0;
    unsigned build = 0;
};
// The true system version. GetVersionEx reports 6.2 to programs that do not
// name the running system in their manifest; the kernel does not lie.
OsVersion TrueOsVersion();

std::string ExecutablePath();   // full path of the running program file
std::string ExecutableName();   // its name without folder and extension
std::string CurrentUserName();  // "" when it cannot be read
std::string CurrentUserSid();   // "S-1-5-..."; "" when it cannot be read
// The user a process runs as, as CurrentUserSid gives it; "" when it cannot
// be read (another user's process, or one with more rights than ours).
std::string ProcessUserSid(HANDLE process);

// The settings file whose presence beside the exe makes this copy portable,
// and whether it is there (a file: a folder of that name makes no copy
// portable). Asked by the probe and by whatever must choose between the
// registry and the file before the probe runs (the command line).
std::string PortableSettingsPath();
bool PortableCopy();

// A target as it starts: every %VARIABLE% of this process's environment
// expanded; a name the environment lacks is left as it stands, as Windows
// leaves it. The list keeps the text as the user gave it.
std::string ExpandedTarget(std::string_view target);

// The FILEVERSION of a module's version record.
std::optional<ModuleVersion> ReadVersionRecord(std::string_view file);

// Libraries the program loads by name, its delay-loaded common controls among
// them, come from the system folder only: never from the program's folder,
// where a download folder may hold anything, nor from the current one. The
// first thing the program does.
void NarrowLibrarySearch();

// Runs once at start-up. False when another instance of this program already
// runs for this user: it has been asked to come forward and this process must
// end without touching anything.
bool InitEnvironment();

// The steps of InitEnvironment before and after the single-instance check.
void ProbeLocaleAndVersion();
void ProbeSystem();

}  // namespace jumpnest
