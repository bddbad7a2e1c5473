// The Task Scheduler task that starts the program with full rights when this
// user signs in, so that the gesture also works over the windows of programs
// running as administrator, which Windows hides from a program without them.
#pragma once

#include <string>

namespace jumpnest {

// Whether this user's task is registered.
bool LogonTaskRegistered();

// Switches this user's task on or off through a copy of the program started
// with full rights (one elevation prompt), and waits for it. Empty when done,
// else what went wrong, in words for the user.
std::wstring SwitchLogonTask(bool on);

// What that copy does for the command line "/logon-task on|off SID": its
// exit code.
int RunLogonTaskCommand(bool on, const std::wstring& userSid);

}  // namespace jumpnest
