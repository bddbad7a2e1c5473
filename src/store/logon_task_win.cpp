#include "store/logon_task_win.h"

namespace jumpnest {

// Not built yet: nothing is registered, and nothing can be.
bool LogonTaskRegistered() {
    return false;
}

std::wstring SwitchLogonTask(bool) {
    return L"Starting as administrator at sign-in is not available in this version.";
}

int RunLogonTaskCommand(bool, const std::wstring&) {
    return 1;
}

}  // namespace jumpnest
