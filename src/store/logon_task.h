// The Task Scheduler task that starts the program with full rights when its
// user signs in, as data: its name, its definition as Task Scheduler XML, and
// whether the program lies where the user's own programs cannot replace it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace jumpnest {

inline constexpr std::string_view kLogonTaskDelay = "PT3S";      // after the sign-in
inline constexpr std::string_view kLogonTaskTimeLimit = "PT0S";  // none: it runs all session
inline constexpr int kLogonTaskPriority = 4;  // normal, as a program started by hand

// "kqrJumpnest.<user name>", in the root folder of the Task Scheduler Library.
std::string LogonTaskName(std::string_view userName);

// Who may do what with the task, in SDDL: SYSTEM and the Administrators
// everything; the user reads and runs it. The user's programs, which run
// without full rights, must not be able to change what it starts with them.
std::string LogonTaskSecurity(std::string_view userSid);

// The command of the task's action: the path, in quotes when it holds a blank.
std::string QuotedCommand(std::string_view programPath);

// `text` with the five characters XML reserves written as entities.
std::string EscapeXml(std::string_view text);

struct LogonTaskDefinition {
    std::string userName;
    std::string userSid;  // "S-1-5-21-..."
    std::string program;  // the program file's full path
};

// The whole task, as Task Scheduler XML (UTF-8, no XML declaration): a logon
// trigger for this user alone, 3 s after the sign-in; this user's interactive
// token at the highest run level; no time limit, indifferent to batteries,
// normal priority, a start while one runs ignored; the program with its own
// folder as the working folder.
std::string LogonTaskXml(const LogonTaskDefinition& task);

// Well-known accounts every ordinary user belongs to.
inline constexpr std::string_view kEveryoneSid = "S-1-1-0";
inline constexpr std::string_view kInteractiveSid = "S-1-5-4";
inline constexpr std::string_view kAuthenticatedUsersSid = "S-1-5-11";
inline constexpr std::string_view kUsersSid = "S-1-5-32-545";

// One entry of an access list, as the Win32 side reads it.
struct AccessEntry {
    std::string sid;
    std::uint32_t mask = 0;
    bool allows = true;
    bool inheritOnly = false;  // for what is created inside only, not the object itself
};

// The owner and access list of one file or folder. No list lets everybody in.
struct ObjectSecurity {
    std::string owner;
    bool hasList = true;
    std::vector<AccessEntry> entries;
};

// Whether the program, given as the security of its file, then its folder,
// then every folder above up to the drive, lies where nobody but the
// administrators can change it. The user's own programs run without full
// rights: if they could replace the program (write or delete the file, add
// to or delete from its folder, remove or rename a folder on the way, or
// change an access list or owner), a task starting it with full rights would
// hand those rights to any of them. Grants to the user (`userSid`) count, as
// do those to Everyone, INTERACTIVE, Authenticated Users and Users, and an
// owner among these, who may always rewrite the list. Denying entries are
// passed over: at worst a safe place is called unsafe.
bool ProgramPlaceProtected(std::span<const ObjectSecurity> chain, std::string_view userSid);

}  // namespace jumpnest
