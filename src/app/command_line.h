// What the program is asked to do by its command line. Scripts and package
// managers call it; the Startup shortcut and the user start it without any.
#pragma once

#include <span>
#include <string>

namespace jumpnest {

enum class CommandKind {
    kStart,      // no arguments: the launcher itself
    kExit,       // end the copy running for this sign-in
    kUninstall,  // end it, then remove what the program made for this user
    kLogonTask,  // the elevated copy that switches the sign-in task
    kUnknown,    // anything else: the switches are shown
};

struct CommandLine {
    CommandKind kind = CommandKind::kStart;
    bool quiet = false;        // no question and no message
    bool logonTaskOn = false;  // for kLogonTask
    std::string userSid;       // for kLogonTask: whose task
    bool operator==(const CommandLine&) const = default;
};

// The arguments without the program's own name. Switches start with "/" or
// "-" and are read without case: "/exit", "/uninstall", each with an
// optional "/quiet", and "/logon-task on|off <SID>" alone.
CommandLine ParseCommandLine(std::span<const std::string> arguments);

}  // namespace jumpnest
