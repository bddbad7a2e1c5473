#include "core/instance.h"

#include <gtest/gtest.h>

namespace jumpnest {
namespace {

TEST(InstanceNames, MutexIsPerUserAndExecutableInTheSession) {
    EXPECT_EQ(InstanceMutexName("kqrJumpnest", "S-1-5-21-1-2-3-1001"),
              "Local\\kqrJumpnest.kqrjumpnest.S-1-5-21-1-2-3-1001");
    // The same file started under another case of its name is the same program.
    EXPECT_EQ(InstanceMutexName("KQRJUMPNEST", "S-1-5-21-1"),
              InstanceMutexName("kqrJumpnest", "S-1-5-21-1"));
    EXPECT_NE(InstanceMutexName("other", "S-1-5-21-1"),
              InstanceMutexName("kqrJumpnest", "S-1-5-21-1"));
    EXPECT_NE(InstanceMutexName("kqrJumpnest", "S-1-5-21-2"),
              InstanceMutexName("kqrJumpnest", "S-1-5-21-1"));
    // Only the namespace prefix may hold a backslash in a kernel object name.
    const std::string name = InstanceMutexName("Übersicht", "S-1-5-21-1");
    EXPECT_EQ(name.find('\\', 6), std::string::npos);
}

TEST(InstanceNames, WindowClassSeparatesRenamedCopies) {
    EXPECT_EQ(InstanceWindowClass("kqrJumpnest"), "kqrJumpnest:kqrJumpnest");
    EXPECT_NE(InstanceWindowClass("other"), InstanceWindowClass("kqrJumpnest"));
}

TEST(InstanceNames, LongExecutableNamesStayWithinTheSystemLimits) {
    // 250 bytes of two-byte characters: the cut must not split one.
    std::string longName;
    for (int i = 0; i < 125; ++i) longName += "\xC3\x84";  // Ä
    const std::string sid = "S-1-5-21-1234567890-1234567890-1234567890-1001";
    const std::string mutex = InstanceMutexName(longName, sid);
    const std::string windowClass = InstanceWindowClass(longName);
    EXPECT_LE(mutex.size(), 200u);
    EXPECT_LE(windowClass.size(), 200u);
    EXPECT_EQ(mutex.substr(mutex.size() - sid.size()), sid);
    const std::string kept = windowClass.substr(std::string("kqrJumpnest:").size());
    EXPECT_EQ(kept.size() % 2, 0u);
    EXPECT_EQ(kept, longName.substr(0, kept.size()));
    // Names that differ only past the cut are the same program.
    EXPECT_EQ(InstanceWindowClass(longName + "x"), windowClass);
}

}  // namespace
}  // namespace jumpnest
