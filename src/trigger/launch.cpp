#include "trigger/launch.h"

#include "core/paths.h"
#include "core/text.h"

namespace jumpnest {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// How much of `target` is its root: "C:\" of a drive path, "\\server\share\"
// of a share; 0 when it is no file path with a root.
size_t RootLength(std::string_view target) {
    if (target.size() < 3) return 0;
    const char drive = AsciiLower(target[0]);
    if (drive >= 'a' && drive <= 'z' && target[1] == ':' && IsSeparator(target[2])) return 3;
    if (!IsSeparator(target[0]) || !IsSeparator(target[1])) return 0;
    const size_t server = target.find_first_of("\\/", 2);
    if (server == std::string_view::npos || server == 2) return 0;
    // "\\?\" and "\\.\" are no servers but the system's own namespaces.
    const std::string_view name = target.substr(2, server - 2);
    if (name == "?" || name == ".") return 0;
    const size_t share = target.find_first_of("\\/", server + 1);
    return share == std::string_view::npos || share == server + 1 ? 0 : share + 1;
}

}  // namespace

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

std::string WorkingFolderFor(std::string_view target) {
    // The last separator lies at the end of the root or beyond it.
    if (RootLength(target) == 0) return {};
    return std::string(target.substr(0, target.find_last_of("\\/") + 1));
}

}  // namespace jumpnest
