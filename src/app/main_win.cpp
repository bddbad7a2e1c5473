#include <windows.h>

#include "app/app_win.h"
#include "core/environment_win.h"
#include "store/settings_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    jumpnest::NarrowLibrarySearch();
    jumpnest::RegistrySettings settings;
    jumpnest::App app({settings, [](const std::string& path) { return jumpnest::FileExists(path); },
                       jumpnest::ShellPictures});
    if (!app.Main()) return 0;
    return app.Run();
}
