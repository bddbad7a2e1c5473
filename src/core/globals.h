// Process-wide values. Each is set once during start-up, by the environment
// probe or by InitApplication, and only read afterwards. Text is UTF-8; paths
// are Windows paths. The options are no such value: the program owns them
// and hands them to its windows and its hooks.
#pragma once

#include <string>

namespace jumpnest {

// Set by the environment probe.
extern bool gGermanLocale;           // the user's default locale is a German one
extern int gWinVersion;              // system version code (core/version.h)
extern int gAppVersion;              // 14004 for 1.4.4
extern std::string gAppVersionText;  // "1.4.004" for 1.4.4
extern std::string gAppPath;         // the program's folder, ending in "\"
extern std::string gUserName;        // logon name; empty when it cannot be read
extern std::string gPersonalFolder;  // the user's documents folder
extern std::string gDataFolder;      // the data folder, ending in "\"
// A portable copy: kqrJumpnest.ini lies beside the exe, which holds the
// settings; the data folder is the program's folder.
extern bool gPortable;

// Set by InitApplication.
extern bool gThemed;              // the visual-styles library is present
extern std::string gIniFile;      // the entry file
extern std::string gStartupLink;  // the start-up shortcut

}  // namespace jumpnest
