#include "core/version.h"

#include <gtest/gtest.h>

#include <ostream>

namespace jumpnest {
namespace {

TEST(AppVersion, NumberAndTextOfTheRelease) {
    EXPECT_EQ(AppVersionNumber({1, 4, 4}), 14004);
    EXPECT_EQ(AppVersionText(14004), "1.4.004");
}

TEST(AppVersion, TextFollowsTheDigitPattern) {
    EXPECT_EQ(AppVersionText(AppVersionNumber({2, 0, 17})), "2.0.017");
    EXPECT_EQ(AppVersionText(AppVersionNumber({12, 3, 456})), "12.3.456");
    // More digits than places go in front; fewer leave places empty.
    EXPECT_EQ(AppVersionText(1004004), "100.4.004");
    EXPECT_EQ(AppVersionText(4004), ".4.004");
    EXPECT_EQ(AppVersionText(7), "..7");
}

struct SystemCase {
    bool isNt;
    unsigned major;
    unsigned minor;
    int code;
    bool supported;
};

std::ostream& operator<<(std::ostream& out, const SystemCase& c) {
    return out << (c.isNt ? "NT " : "9x ") << c.major << "." << c.minor;
}

class WinVersionTest : public testing::TestWithParam<SystemCase> {};

TEST_P(WinVersionTest, MapsTheTrueVersion) {
    const SystemCase& c = GetParam();
    const int code = WinVersionCodeFor(c.isNt, c.major, c.minor);
    EXPECT_EQ(code, c.code) << c.major << "." << c.minor;
    EXPECT_EQ(IsSupportedSystem(code), c.supported) << c.major << "." << c.minor;
}

INSTANTIATE_TEST_SUITE_P(
    Systems, WinVersionTest,
    testing::Values(SystemCase{false, 4, 10, kWinNotNt, false},  // Windows 98
                    SystemCase{false, 10, 0, kWinNotNt, false},
                    SystemCase{true, 3, 51, kWinNtBelow4, false},
                    SystemCase{true, 4, 0, kWinNt4, false}, SystemCase{true, 5, 0, kWin2000, true},
                    SystemCase{true, 5, 1, kWinNt5x, true},  // XP
                    SystemCase{true, 5, 2, kWinNt5x, true},  // Server 2003
                    SystemCase{true, 6, 0, kWinNt6x, true},  // Vista
                    SystemCase{true, 6, 1, kWinNt6x, true},  // 7
                    SystemCase{true, 6, 3, kWinNt6x, true},  // 8.1
                    SystemCase{true, 7, 0, kWinNt7OrLater, true},
                    SystemCase{true, 10, 0, kWinNt7OrLater, true},  // 10 and 11
                    SystemCase{true, 11, 0, kWinNt7OrLater, true}));

}  // namespace
}  // namespace jumpnest
