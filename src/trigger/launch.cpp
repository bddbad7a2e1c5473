#include "trigger/launch.h"

#include "core/paths.h"

namespace jumpnest {

std::string OpenWithCommandLine(std::string_view systemFolder, std::string_view target) {
    // rundll32 is named by its full path so that a rundll32.exe lying in the
    // program's folder or the current directory is never the one started.
    // Quoted, because a system folder may contain spaces. The target follows
    // unquoted: OpenAs_RunDLL takes everything after the comma and its space
    // as the one file name, and quotes would become part of that name.
    std::string commandLine = "\"";
    commandLine += AddBackslash(systemFolder);
    commandLine += "rundll32.exe\" SHELL32,OpenAs_RunDLL ";
    commandLine += target;
    return commandLine;
}

}  // namespace jumpnest
