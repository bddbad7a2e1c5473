// The Task Scheduler task that starts the program with full rights when this
// user signs in, so that the gesture also works over the windows of programs
// running as administrator, which Windows hides from a program without them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "store/logon_task.h"

namespace jumpnest {

// Whether this user's task is registered.
bool LogonTaskRegistered();

// Switches this user's task on or off through a copy of the program started
// with full rights (one elevation prompt), and waits for it. Empty when done,
// else what went wrong, in words for the user: the system's, in its language.
std::wstring SwitchLogonTask(bool on);

// What that copy does for the command line "/logon-task on|off SID": its
// exit code, 0 when done, else an HRESULT.
int RunLogonTaskCommand(bool on, const std::wstring& userSid);

// Whether the running program lies where only administrators can change it,
// the one place a task may start it from with full rights. `userSid` is the
// user the task would start it for; "" for the user of this process.
bool ProgramPlaceProtected(const std::string& userSid = {});

// The parts of the command, for tests: registers (or replaces) the task
// `task` describes, and deletes the task of `userName` (done when there is
// none); S_OK or the scheduler's HRESULT.
long RegisterLogonTask(const LogonTaskDefinition& task);
long DeleteLogonTask(std::string_view userName);
// The registered task's XML as the scheduler gives it back.
std::optional<std::string> RegisteredLogonTaskXml(std::string_view userName);

}  // namespace jumpnest
