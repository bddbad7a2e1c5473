#include "core/version.h"

#include <string_view>

namespace jumpnest {

int AppVersionNumber(const ModuleVersion& version) {
    return version.major * 10000 + version.minor * 1000 + version.revision;
}

std::string AppVersionText(int versionNumber) {
    // Digits fill the "#" places of "##.#.###" from the right; places left
    // over stay empty and digits left over go in front, so 4004 gives ".4.004".
    constexpr std::string_view kPattern = "##.#.###";
    std::string digits = std::to_string(versionNumber < 0 ? -versionNumber : versionNumber);
    if (versionNumber == 0) digits.clear();

    std::string text;
    size_t next = digits.size();
    for (size_t i = kPattern.size(); i-- > 0;) {
        if (kPattern[i] != '#') {
            text.insert(text.begin(), kPattern[i]);
        } else if (next > 0) {
            text.insert(text.begin(), digits[--next]);
        }
    }
    text.insert(0, digits, 0, next);
    if (versionNumber < 0) text.insert(text.begin(), '-');
    return text;
}

std::string ProgramTitle(const std::string& versionText) {
    return "Jumpnest V" + versionText.substr(0, 3);
}

int WinVersionCodeFor(bool isNt, unsigned major, unsigned minor) {
    if (!isNt) return kWinNotNt;
    if (major < 4) return kWinNtBelow4;
    if (major == 4) return kWinNt4;
    if (major == 5) return minor == 0 ? kWin2000 : kWinNt5x;
    if (major == 6) return kWinNt6x;
    return kWinNt7OrLater;
}

}  // namespace jumpnest
