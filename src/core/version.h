// The program's own version arithmetic and the system version codes that
// decide whether start-up may go on.
#pragma once

#include <string>

namespace jumpnest {

struct ModuleVersion {
    int major = 0;
    int minor = 0;
    int revision = 0;
};

// major * 10000 + minor * 1000 + revision: 14004 for 1.4.4. This number is
// stored in the settings, so its form must not change.
int AppVersionNumber(const ModuleVersion& version);

// The digits of the version number with a point before the last three and
// another before the fourth-last: 14004 gives "1.4.004".
std::string AppVersionText(int versionNumber);

// The name the windows and the tray show: "Jumpnest V" and the major and
// minor version of that text, "Jumpnest V1.4" for "1.4.004".
std::string ProgramTitle(const std::string& versionText);

// System version codes. Anything below kOldestSupportedSystem is refused.
enum WinVersionCode : int {
    kWinNtBelow4 = 0,
    kWinNotNt = 2,
    kWinNt4 = 3,
    kWin2000 = 4,
    kWinNt5x = 5,
    kWinNt6x = 6,
    kWinNt7OrLater = 7,
};
inline constexpr int kOldestSupportedSystem = kWin2000;

// Maps the true system version to its code. Windows 10 and 11 report 10.0;
// they, like any later NT system, count as the newest code and pass.
int WinVersionCodeFor(bool isNt, unsigned major, unsigned minor);

inline bool IsSupportedSystem(int code) {
    return code >= kOldestSupportedSystem;
}

}  // namespace jumpnest
