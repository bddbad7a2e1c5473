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
bool gPortable = false;

bool gThemed = false;
std::string gIniFile;
std::string gStartupLink;

}  // namespace jumpnest
