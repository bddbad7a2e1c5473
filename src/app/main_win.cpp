#include <windows.h>

#include "app/app_win.h"
#include "app/command_line_win.h"
#include "core/environment_win.h"
#include "store/portable_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    jumpnest::NarrowLibrarySearch();
    // Without arguments (the Startup shortcut, the user) the launcher starts;
    // the commands end without touching it.
    const jumpnest::CommandLine command =
        jumpnest::ParseCommandLine(jumpnest::CommandLineArguments());
    if (command.kind != jumpnest::CommandKind::kStart) return jumpnest::RunCommand(command);
    // The registry, or the settings file of a portable copy.
    jumpnest::SettingsPlace settings;
    jumpnest::App app({settings, [](const std::string& path) { return jumpnest::FileExists(path); },
                       jumpnest::ShellPictures});
    if (!app.Main()) return 0;
    return app.Run();
}
