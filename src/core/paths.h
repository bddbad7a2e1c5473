// Path arithmetic on the program's UTF-8 strings. Windows paths, "\" as the
// separator; nothing here touches the file system.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace jumpnest {

inline constexpr std::string_view kAppTitle = "kqrJumpnest";
inline constexpr std::string_view kMakerFolder = "Kelmarsh";
inline constexpr std::string_view kStartupLinkName = "kqrJumpnest.lnk";
// The file whose presence beside the exe makes a copy portable.
inline constexpr std::string_view kPortableSettingsName = "kqrJumpnest.ini";
// Used when the shell cannot name the user's documents folder.
inline constexpr std::string_view kFallbackPersonalFolder = "C:\\Eigene Dateien";

// The path with "\" appended unless it already ends with one; "" gives "\".
std::string AddBackslash(std::string_view path);

// Everything up to and including the last "\"; "" when there is none.
std::string GetParentFolder(std::string_view path);

// The text after the last "\". Without keepExtension the name is cut before
// its last "." unless that dot is the name's first character (".profile").
std::string GetFileName(std::string_view path, bool keepExtension);

// Every folder of the chain that must exist for `folder` to exist, outermost
// first, without the root (drive, UNC share or "\\?\" prefix).
// "C:\a\b\" gives "C:\a", "C:\a\b".
std::vector<std::string> FolderChain(std::string_view folder);

// The data folder: below the shared application-data folder, "Kelmarsh\"
// and the executable's name; the program folder when the shell has no shared
// application-data folder. Always ends in "\".
std::string DataFolderPath(std::string_view commonAppData, std::string_view exeName,
                           std::string_view appPath);

// The entry file: one per executable name and user name.
std::string EntryFilePath(std::string_view dataFolder, std::string_view exeName,
                          std::string_view userName);

// Whether a file of the data folder, by its name, is one of this user's:
// the entry file, "<exe>.<user>@<anything>.ini" beside it, or what a save of
// either left behind ("<that name>.<process>-<count>.tmp"). Names compare
// without the case of ASCII letters, as Windows compares them; another
// user's name never matches, however it begins.
bool IsUserDataFileName(std::string_view fileName, std::string_view exeName,
                        std::string_view userName);

// The start-up shortcut keeps its fixed name whatever the executable is called.
std::string StartupLinkPath(std::string_view startupFolder);

}  // namespace jumpnest
