#include "store/logon_task.h"

#include <algorithm>
#include <array>

#include "core/paths.h"

namespace jumpnest {

namespace {

// Access rights, as Windows numbers them for files and folders.
constexpr std::uint32_t kWriteData = 0x0002;   // a file's content; a file added to a folder
constexpr std::uint32_t kAppendData = 0x0004;  // appended to a file; a folder added to a folder
constexpr std::uint32_t kDeleteChild = 0x0040;
constexpr std::uint32_t kDelete = 0x00010000;
constexpr std::uint32_t kWriteDac = 0x00040000;
constexpr std::uint32_t kWriteOwner = 0x00080000;
constexpr std::uint32_t kGenericAll = 0x10000000;
constexpr std::uint32_t kGenericWrite = 0x40000000;

constexpr std::uint32_t kReplacing = kDelete | kWriteDac | kWriteOwner | kGenericAll;
// What lets a user put another program in this one's place, at each step.
constexpr std::uint32_t kChangesProgram = kReplacing | kWriteData | kAppendData | kGenericWrite;
constexpr std::uint32_t kChangesFolder =
    kReplacing | kWriteData | kAppendData | kDeleteChild | kGenericWrite;
// Above the program's folder only what removes or renames the folder below
// counts: every user may create folders at the root of drive C:.
constexpr std::uint32_t kChangesFolderAbove = kReplacing | kDeleteChild;

bool IsOrdinaryUser(std::string_view sid, std::string_view userSid) {
    constexpr std::array kGroups = {kEveryoneSid, kInteractiveSid, kAuthenticatedUsersSid,
                                    kUsersSid};
    return sid == userSid || std::find(kGroups.begin(), kGroups.end(), sid) != kGroups.end();
}

bool OrdinaryUsersMayChange(const ObjectSecurity& object, std::uint32_t changing,
                            std::string_view userSid) {
    if (!object.hasList || IsOrdinaryUser(object.owner, userSid)) return true;
    return std::any_of(object.entries.begin(), object.entries.end(), [&](const AccessEntry& e) {
        return e.allows && !e.inheritOnly && (e.mask & changing) && IsOrdinaryUser(e.sid, userSid);
    });
}

}  // namespace

std::string LogonTaskName(std::string_view userName) {
    return std::string(kAppTitle) + "." + std::string(userName);
}

std::string LogonTaskSecurity(std::string_view userSid) {
    return "D:(A;;FA;;;SY)(A;;FA;;;BA)(A;;FRFX;;;" + std::string(userSid) + ")";
}

std::string QuotedCommand(std::string_view programPath) {
    if (programPath.find_first_of(" \t") == std::string_view::npos) return std::string(programPath);
    std::string quoted(1, '"');
    quoted.append(programPath).push_back('"');
    return quoted;
}

std::string EscapeXml(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&apos;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string LogonTaskXml(const LogonTaskDefinition& task) {
    const std::string user = EscapeXml(task.userSid);
    std::string folder = GetParentFolder(task.program);
    // "C:\" keeps its backslash; any other folder is named without one.
    if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    const std::string name = EscapeXml(LogonTaskName(task.userName));
    // In the order of the schema, which Windows holds a task's XML to.
    // clang-format off
    return "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\n"
           "  <RegistrationInfo>\n"
           "    <Author>" + EscapeXml(task.userName) + "</Author>\n"
           "    <Description>Starts Jumpnest with full rights when " + EscapeXml(task.userName) +
           " signs in, so that its gesture also works over programs that run as "
           "administrator.</Description>\n"
           "    <URI>\\" + name + "</URI>\n"
           "    <SecurityDescriptor>" + EscapeXml(LogonTaskSecurity(task.userSid)) +
           "</SecurityDescriptor>\n"
           "  </RegistrationInfo>\n"
           "  <Triggers>\n"
           "    <LogonTrigger>\n"
           "      <Enabled>true</Enabled>\n"
           "      <UserId>" + user + "</UserId>\n"
           "      <Delay>" + std::string(kLogonTaskDelay) + "</Delay>\n"
           "    </LogonTrigger>\n"
           "  </Triggers>\n"
           "  <Principals>\n"
           "    <Principal id=\"Author\">\n"
           "      <UserId>" + user + "</UserId>\n"
           "      <LogonType>InteractiveToken</LogonType>\n"
           "      <RunLevel>HighestAvailable</RunLevel>\n"
           "    </Principal>\n"
           "  </Principals>\n"
           "  <Settings>\n"
           "    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>\n"
           "    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>\n"
           "    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>\n"
           "    <AllowHardTerminate>true</AllowHardTerminate>\n"
           "    <StartWhenAvailable>false</StartWhenAvailable>\n"
           "    <Enabled>true</Enabled>\n"
           "    <ExecutionTimeLimit>" + std::string(kLogonTaskTimeLimit) + "</ExecutionTimeLimit>\n"
           "    <Priority>" + std::to_string(kLogonTaskPriority) + "</Priority>\n"
           "  </Settings>\n"
           "  <Actions Context=\"Author\">\n"
           "    <Exec>\n"
           "      <Command>" + EscapeXml(QuotedCommand(task.program)) + "</Command>\n"
           "      <WorkingDirectory>" + EscapeXml(folder) + "</WorkingDirectory>\n"
           "    </Exec>\n"
           "  </Actions>\n"
           "</Task>\n";
    // clang-format on
}

bool ProgramPlaceProtected(std::span<const ObjectSecurity> chain, std::string_view userSid) {
    // Nothing examined is nothing known.
    if (chain.size() < 2 || userSid.empty()) return false;
    for (size_t i = 0; i < chain.size(); ++i) {
        const std::uint32_t changing = i == 0   ? kChangesProgram
                                       : i == 1 ? kChangesFolder
                                                : kChangesFolderAbove;
        if (OrdinaryUsersMayChange(chain[i], changing, userSid)) return false;
    }
    return true;
}

}  // namespace jumpnest
