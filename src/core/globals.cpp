#include "core/globals.h"

namespace jumpnest {

bool gGermanLocale = false;
int gWinVersion = 0;
int gAppVersion = 0;
std::string gAppVersionText;
std::string gAppPath;
std::string gUserName;
std::string gPersonalFolder;
std::string gDataFolder;

int gLanguage = 0;
bool gShowInSysTray = true;
int gIconSize = 256;
std::atomic<bool> gExplorer{false};
std::string gExcludedPrograms;
bool gPassFullScreen = true;
int gMenuLeft = 0;
int gMenuTop = 0;

bool gThemed = false;
std::string gIniFile;
std::string gStartupLink;

}  // namespace jumpnest
