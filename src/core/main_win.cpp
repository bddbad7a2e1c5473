#include <windows.h>

#include "core/startup_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    if (!jumpnest::Main()) return 0;
    return jumpnest::RunMessageLoop();
}
