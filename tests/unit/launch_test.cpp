#include "trigger/launch.h"

#include <gtest/gtest.h>

namespace jumpnest {
namespace {

TEST(OpenWithCommandLine, QuotesRundllButNotTheTarget) {
    EXPECT_EQ(OpenWithCommandLine("C:\\Windows\\system32", "C:\\My Files\\notes.xyz"),
              "\"C:\\Windows\\system32\\rundll32.exe\" SHELL32,OpenAs_RunDLL "
              "C:\\My Files\\notes.xyz");
}

TEST(OpenWithCommandLine, AddsABackslashOnlyWhenTheFolderLacksOne) {
    EXPECT_EQ(OpenWithCommandLine("D:\\Win Dir\\System32\\", "a.b"),
              "\"D:\\Win Dir\\System32\\rundll32.exe\" SHELL32,OpenAs_RunDLL a.b");
    EXPECT_EQ(OpenWithCommandLine("D:\\Win Dir\\System32", "a.b"),
              "\"D:\\Win Dir\\System32\\rundll32.exe\" SHELL32,OpenAs_RunDLL a.b");
}

TEST(OpenWithCommandLine, PassesTheTargetThroughUnchanged) {
    // Non-ASCII names, quotes already present and trailing spaces are the
    // user's business: nothing is trimmed, escaped or re-encoded.
    EXPECT_EQ(OpenWithCommandLine("C:\\W\\S", "C:\\Übersicht\\Größe 日本.dat"),
              "\"C:\\W\\S\\rundll32.exe\" SHELL32,OpenAs_RunDLL C:\\Übersicht\\Größe 日本.dat");
    EXPECT_EQ(OpenWithCommandLine("C:\\W\\S", "\"quoted\" x "),
              "\"C:\\W\\S\\rundll32.exe\" SHELL32,OpenAs_RunDLL \"quoted\" x ");
    EXPECT_EQ(OpenWithCommandLine("C:\\W\\S", ""),
              "\"C:\\W\\S\\rundll32.exe\" SHELL32,OpenAs_RunDLL ");
}

}  // namespace
}  // namespace jumpnest
