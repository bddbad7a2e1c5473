// What the command line asks for besides the launcher itself: ending the
// running copy, removing what the program made for this user, and the
// elevated copy's work.
#pragma once

#include <string>
#include <vector>

#include "app/command_line.h"

namespace jumpnest {

// This process's arguments, without its own name.
std::vector<std::string> CommandLineArguments();

// Carries out any command but kStart; the process's exit code: 0 done, 1
// something could not be done (said unless quiet), 2 an unknown command line.
int RunCommand(const CommandLine& command);

}  // namespace jumpnest
