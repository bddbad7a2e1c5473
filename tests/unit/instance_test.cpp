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

}  // namespace
}  // namespace jumpnest
