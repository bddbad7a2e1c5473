// Process-wide values. Each is set once during start-up, by the environment
// probe or by InitApplication, and only read afterwards, all on the one
// user-interface thread. Text is UTF-8; paths are Windows paths.
#pragma once

#include <atomic>
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

// Options: read by LoadSettings, changed at once by the configuration window,
// stored by Apply.
extern int gLanguage;        // 0 English, 1 German, 2 French, 3 Spanish; others read as English
extern bool gShowInSysTray;  // the notification-area icon is shown
extern int gIconSize;        // 256 large, 257 small popup icons
// The middle mouse button opens Explorer. Atomic: the input hooks read it on
// their own thread.
extern std::atomic<bool> gExplorer;
// Programs the gestures leave alone, as stored, and whether they stand aside
// for full-screen programs. The hooks read them through SetPassThrough.
extern std::string gExcludedPrograms;
extern bool gPassFullScreen;

// Where the popup's top-left corner is wanted, in twips: set for each
// trigger, clamped onto the screen when the popup is placed.
extern int gMenuLeft;
extern int gMenuTop;

// Set by InitApplication.
extern bool gThemed;              // the visual-styles library is present
extern std::string gIniFile;      // the entry file
extern std::string gStartupLink;  // the start-up shortcut

}  // namespace jumpnest
