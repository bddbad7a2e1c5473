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

// The folder `target` starts in, as Explorer starts it: the one that holds
// it when it is a file path on a drive ("C:\Tools\run.bat" gives "C:\Tools\",
// "C:\run.bat" gives "C:\") or on a share ("\\server\share\run.bat" gives
// "\\server\share\"). "" for an address ("https://...", "shell:startup"),
// a relative name and a device or "\\?\" path: those start where the shell
// decides.
std::string WorkingFolderFor(std::string_view target);

}  // namespace jumpnest
