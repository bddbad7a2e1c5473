#include "app/command_line_win.h"

#include <windows.h>
#include <shellapi.h>

#include "core/encoding_win.h"
#include "core/environment_win.h"
#include "core/handle_win.h"
#include "core/instance.h"
#include "core/instance_win.h"
#include "core/language.h"
#include "core/paths.h"
#include "core/trace_win.h"
#include "store/entry_store_win.h"
#include "store/logon_task_win.h"
#include "store/portable_win.h"
#include "store/settings.h"
#include "store/settings_win.h"
#include "store/shortcut_win.h"
#include "ui/text/captions.h"

namespace jumpnest {

namespace {

constexpr wchar_t kMessageTitle[] = L"Jumpnest";
// A copy that has claimed its instance may not have made its window yet.
constexpr DWORD kWindowWaitMs = 2000;
constexpr DWORD kWindowPollMs = 50;
// Ending takes well under a second; a copy that is still busy after this
// (an icon on a dead network share holds it for at most a moment) will not end.
constexpr DWORD kEndWaitMs = 10000;

enum class EndOutcome { kNoneRan, kEnded, kNotAsked, kTimedOut };

// The interface language before any window exists: as the settings store
// holds it, or as the launcher would choose it on its first start.
std::int32_t StoredLanguage() {
    const SettingsPlace settings;
    return LoadOptions(settings, IsGermanLocale(::GetUserDefaultLCID()), kEnglish).language;
}

void Say(const std::string& text, UINT icon) {
    ::MessageBoxW(nullptr, Widen(text).c_str(), kMessageTitle, MB_OK | icon | MB_SETFOREGROUND);
}

// The program window of the copy running for this user in this session. The
// window's class tells the program and its executable name; the window list
// is this desktop's; the process's user keeps another user's copy, started
// with "Run as" on the same desktop, out of it.
HWND FindRunningWindow(const std::string& exeName, const std::string& userSid) {
    const std::wstring className = Widen(InstanceWindowClass(exeName));
    const std::wstring title = Widen(kAppTitle);
    for (HWND window = nullptr;
         (window = ::FindWindowExW(nullptr, window, className.c_str(), title.c_str()));) {
        DWORD processId = 0;
        ::GetWindowThreadProcessId(window, &processId);
        const UniqueHandle process(
            ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
        if (process && ProcessUserSid(process.get()) == userSid) return window;
    }
    return nullptr;
}

// Ends the copy running for this sign-in as the Task Manager's End task
// does: WM_CLOSE to its program window, which closes its windows and message
// boxes, drops what was not applied and ends; then waits for its process.
EndOutcome EndRunningCopy() {
    const std::string exeName = ExecutableName();
    const std::string userSid = CurrentUserSid();
    HWND window = nullptr;
    for (DWORD waited = 0;; waited += kWindowPollMs) {
        if (!InstanceRunning(exeName, userSid)) {
            Trace("exit: none running");
            return EndOutcome::kNoneRan;
        }
        window = FindRunningWindow(exeName, userSid);
        if (window) break;
        if (waited >= kWindowWaitMs) {
            Trace("exit: the running copy's window is out of reach");
            return EndOutcome::kNotAsked;
        }
        ::Sleep(kWindowPollMs);
    }
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    // Opened before asking: once it has ended, its number may name another.
    const UniqueHandle process(::OpenProcess(SYNCHRONIZE, FALSE, processId));
    if (!process || !::PostMessageW(window, WM_CLOSE, 0, 0)) {
        Trace("exit: could not ask " + std::to_string(processId) + ", error " +
              std::to_string(::GetLastError()));
        return EndOutcome::kNotAsked;
    }
    Trace("exit: asked " + std::to_string(processId));
    if (::WaitForSingleObject(process.get(), kEndWaitMs) != WAIT_OBJECT_0) {
        Trace("exit: still running");
        return EndOutcome::kTimedOut;
    }
    Trace("exit: ended");
    return EndOutcome::kEnded;
}

// 0 when no copy runs any more, else 1, said unless quiet.
int EndAndSay(std::int32_t language, bool quiet, bool uninstalling) {
    const EndOutcome outcome = EndRunningCopy();
    if (outcome == EndOutcome::kNoneRan || outcome == EndOutcome::kEnded) return 0;
    if (!quiet) {
        Say(EndFailedMessage(
                language,
                outcome == EndOutcome::kNotAsked ? EndFailure::kNotAsked : EndFailure::kTimedOut,
                static_cast<int>(kEndWaitMs / 1000), uninstalling),
            MB_ICONERROR);
    }
    return 1;
}

// Everything the program made for this user, in an order that leaves the
// settings to the last: should anything stay, the next start still finds
// them and the list.
std::vector<UninstallStep> RemoveEverything() {
    std::vector<UninstallStep> steps;
    const auto note = [&steps](UninstallItem item, const std::string& place, DWORD error) {
        steps.push_back({item, place, error ? SystemErrorText(error) : std::string()});
        Trace("uninstall: " + std::string(error ? "kept " : "removed ") + place);
    };
    const std::string startup = GetSpecialFolder(kFolderStartup);
    if (!startup.empty()) {
        const std::string link = StartupLinkPath(startup);
        if (const std::optional<DWORD> error = RemoveShortcut(link)) {
            note(UninstallItem::kStartupShortcut, link, *error);
        }
    }
    const std::string userName = CurrentUserName();
    if (LogonTaskRegistered()) {
        const std::string why = Narrow(SwitchLogonTask(false));
        steps.push_back({UninstallItem::kLogonTask, std::string(kAppTitle) + "." + userName, why});
        Trace("uninstall: logon task " + (why.empty() ? "removed" : why));
    }
    // The data folder as the launcher names it; made by nobody here.
    const std::string shared = GetSpecialFolder(kFolderCommonAppData);
    const std::string exeName = ExecutableName();
    const std::string dataFolder =
        DataFolderPath(shared, exeName, AddBackslash(GetParentFolder(ExecutablePath())));
    for (const Removal& file : RemoveUserFiles(dataFolder, exeName, userName)) {
        note(UninstallItem::kFile, file.place, file.error);
    }
    for (const Removal& folder : RemoveSharedDataFolder(shared, dataFolder)) {
        note(UninstallItem::kFolder, folder.place, folder.error);
    }
    if (const std::optional<unsigned long> error = RemoveSettingsKey()) {
        note(UninstallItem::kSettings,
             "HKEY_CURRENT_USER\\Software\\" + std::string(kSettingsApplication), *error);
    }
    return steps;
}

int Uninstall(bool quiet) {
    // Read first: the settings go last of all.
    const std::int32_t language = StoredLanguage();
    // Asked before anything ends: No leaves everything as it was.
    if (!quiet &&
        ::MessageBoxW(nullptr, Widen(UninstallQuestion(language)).c_str(), kMessageTitle,
                      MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_SETFOREGROUND) != IDYES) {
        Trace("uninstall: declined");
        return 1;
    }
    // Nothing is removed under a running copy, which would write it again.
    if (EndAndSay(language, quiet, true) != 0) return 1;
    const std::vector<UninstallStep> steps = RemoveEverything();
    bool complete = true;
    for (const UninstallStep& step : steps) complete = complete && step.failure.empty();
    if (!quiet) {
        Say(UninstallReport(language, steps), complete ? MB_ICONINFORMATION : MB_ICONWARNING);
    }
    return complete ? 0 : 1;
}

}  // namespace

std::vector<std::string> CommandLineArguments() {
    int count = 0;
    const UniqueLocal arguments(::CommandLineToArgvW(::GetCommandLineW(), &count));
    std::vector<std::string> result;
    if (!arguments) return result;
    const auto* list = static_cast<wchar_t* const*>(arguments.get());
    for (int i = 1; i < count; ++i) result.push_back(Narrow(list[i]));
    return result;
}

int RunCommand(const CommandLine& command) {
    switch (command.kind) {
    case CommandKind::kStart:
        return 0;
    case CommandKind::kExit:
        return EndAndSay(StoredLanguage(), command.quiet, false);
    case CommandKind::kUninstall:
        return Uninstall(command.quiet);
    case CommandKind::kLogonTask:
        return RunLogonTaskCommand(command.logonTaskOn, Widen(command.userSid));
    case CommandKind::kUnknown:
        break;
    }
    Trace("command line: unknown");
    Say(std::string(CommandLineUsage(StoredLanguage())), MB_ICONINFORMATION);
    return 2;
}

}  // namespace jumpnest
