#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "core/paths.h"
#include "ui/text/captions.h"

using namespace jumpnest;

static CommandLine Make(CommandKind kind, bool quiet = false, bool on = false,
                        std::string sid = {}) {
    return {kind, quiet, on, std::move(sid)};
}

// The arguments of a command line, split at each "|".
static std::vector<std::string> Arguments(std::string_view line) {
    std::vector<std::string> arguments;
    for (size_t at = 0, bar = 0; bar != std::string_view::npos; at = bar + 1) {
        bar = line.find('|', at);
        arguments.emplace_back(line.substr(at, bar - at));
    }
    return arguments;
}

TEST(CommandLine, SwitchesAndAnythingElse) {
    using enum CommandKind;
    const std::string sid = "S-1-5-21-7-8-9-1001";
    const std::pair<std::vector<std::string>, CommandLine> known[] = {
        {{}, Make(kStart)},
        {{"/exit"}, Make(kExit)},
        {{"-EXIT", "/Quiet"}, Make(kExit, true)},
        {{"-quiet", "/UnInstall"}, Make(kUninstall, true)},
        {{"/uninstall"}, Make(kUninstall)},
        {{"/logon-task", "ON", sid}, Make(kLogonTask, false, true, sid)},
        {{"-Logon-Task", "off", "s-1-5-18"}, Make(kLogonTask, false, false, "s-1-5-18")}};
    for (const auto& [arguments, command] : known) {
        EXPECT_EQ(ParseCommandLine(arguments), command) << testing::PrintToString(arguments);
    }
    for (const char* line :
         {"exit", "/", "", "/help", "/exit:now", "/quiet", "/exit|/exit", "/exit|/uninstall",
          "/uninstall|/quiet|/quiet", "/exit|extra", "/exit|/logon-task", "/logon-task|on",
          "/logon-task|maybe|S-1-5-18", "/logon-task|on|S-1-5-18|/quiet",
          "/quiet|/logon-task|on|S-1-5-18", "/logon-task|on|S-1-5-18 & calc",
          "/logon-task|on|S-1--5", "/logon-task|on|S-1-5-"}) {
        EXPECT_EQ(ParseCommandLine(Arguments(line)).kind, kUnknown) << line;
    }
}

TEST(CommandLine, UninstallTakesThisUsersFilesOnly) {
    for (const char* mine :
         {"kqrJumpnest.alice.ini", "KQRJUMPNEST.Alice.INI", "kqrJumpnest.alice@PC.ini",
          "kqrJumpnest.alice.ini.812-0.tmp", "kqrJumpnest.alice@x.ini.1-22.tmp"}) {
        EXPECT_TRUE(IsUserDataFileName(mine, "kqrJumpnest", "alice")) << mine;
    }
    for (const char* other :
         {"kqrJumpnest.alicia.ini", "kqrJumpnest.alice.bob.ini", "kqrJumpnest.bob.ini",
          "kqrJumpnest.bob.ini.1-0.tmp", "kqrJumpnest.alice.ini.tmp",
          "kqrJumpnest.alice.ini.x-1.tmp", "kqrJumpnest.alice.ini.1-2.tmp.tmp",
          "kqrJumpnest.alice.txt", "other.alice.ini", "kqrJumpnest.alice@ini"}) {
        EXPECT_FALSE(IsUserDataFileName(other, "kqrJumpnest", "alice")) << other;
    }
}

TEST(CommandLine, UninstallSaysWhatItRemovedAndWhatNot) {
    const UninstallStep steps[] = {{UninstallItem::kFile, "C:\\D\\k.a.ini", ""},
                                   {UninstallItem::kSettings, "HKCU\\S", "Access is denied."}};
    EXPECT_EQ(UninstallReport(kGerman, steps),
              "Für diesen Benutzer entfernt:\n    Datei: C:\\D\\k.a.ini\n\nKonnte nicht entfernt "
              "werden:\n    Einstellungen: HKCU\\S\n        Access is denied.");
    EXPECT_EQ(UninstallReport(kEnglish, {}), "Jumpnest had nothing to remove for this user.");
    EXPECT_NE(EndFailedMessage(kFrench, EndFailure::kTimedOut, 10, true).find("10 secondes"),
              std::string::npos);
}
