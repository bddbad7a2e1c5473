// What starting a target means, apart from the shell.
#pragma once

#include <string>
#include <string_view>

namespace jumpnest {

// The shell's answer when no program is associated with a file's type.
inline constexpr long kShellNoAssociation = 31;

// The command line of the shell's open-with dialog for `target`: rundll32 by
// its full path in the system folder (quoted, never looked for anywhere
// else), then "SHELL32,OpenAs_RunDLL " and the target as it stands, unquoted.
std::string OpenWithCommandLine(std::string_view systemFolder, std::string_view target);

}  // namespace jumpnest
