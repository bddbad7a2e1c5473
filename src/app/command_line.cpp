#include "app/command_line.h"

#include <optional>
#include <string_view>

#include "core/text.h"

namespace jumpnest {

namespace {

// The switch's name in lower case, or nothing for an argument that is none.
std::optional<std::string> SwitchName(std::string_view argument) {
    if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) return std::nullopt;
    return AsciiLower(argument.substr(1));
}

// "S-1-5-21-..." as ConvertSidToStringSid writes it: the copy started with
// full rights takes it from the command line, so nothing else gets through.
bool IsSidText(std::string_view text) {
    if (text.size() < 5 || text.size() > 184 || !(text[0] == 'S' || text[0] == 's') ||
        text[1] != '-') {
        return false;
    }
    bool digitBefore = false;
    for (const char c : text.substr(2)) {
        if (c == '-' && digitBefore) {
            digitBefore = false;
        } else if (c >= '0' && c <= '9') {
            digitBefore = true;
        } else {
            return false;
        }
    }
    return digitBefore;
}

}  // namespace

CommandLine ParseCommandLine(std::span<const std::string> arguments) {
    CommandLine command;
    CommandLine unknown;
    unknown.kind = CommandKind::kUnknown;
    if (arguments.empty()) return command;

    const std::optional<std::string> first = SwitchName(arguments[0]);
    if (first == "logon-task") {
        // Only ever written by the program itself, exactly so.
        if (arguments.size() != 3 || !IsSidText(arguments[2])) return unknown;
        const std::string state = AsciiLower(arguments[1]);
        if (state != "on" && state != "off") return unknown;
        command.kind = CommandKind::kLogonTask;
        command.logonTaskOn = state == "on";
        command.userSid = arguments[2];
        return command;
    }

    // One action, and /quiet at most once, in either order.
    bool action = false;
    for (const std::string& argument : arguments) {
        const std::optional<std::string> name = SwitchName(argument);
        if (name == "quiet" && !command.quiet) {
            command.quiet = true;
        } else if ((name == "exit" || name == "uninstall") && !action) {
            command.kind = *name == "exit" ? CommandKind::kExit : CommandKind::kUninstall;
            action = true;
        } else {
            return unknown;
        }
    }
    return action ? command : unknown;
}

}  // namespace jumpnest
