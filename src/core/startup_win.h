// The program's start: checks, process-wide values, and the resident part.
#pragma once

namespace jumpnest {

// Runs once. False when the process must end at once: another instance runs
// (and has been asked to come forward) or the system is too old.
bool Main();

// Sets the values that follow from the environment probe: whether visual
// styles are present and the paths of the entry file and start-up shortcut.
void InitApplication();

// The user-interface thread's message loop; returns the exit code.
int RunMessageLoop();

}  // namespace jumpnest
