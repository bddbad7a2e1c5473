// The configuration window's options: the boxes that act at once on the
// options in force, and the start-up shortcut that Apply makes or deletes.
#include "ui/config/main_window_win.h"

#include <string>

#include "core/encoding_win.h"
#include "core/environment_win.h"
#include "core/globals.h"
#include "core/paths.h"
#include "store/logon_task_win.h"
#include "store/shortcut_win.h"
#include "ui/config/main_window_parts_win.h"

namespace jumpnest {

using namespace config_window;

void MainWindow::ShowStartWithWindows() {
    // The logon task starts the program with Windows in the shortcut's place;
    // switched off in its dialog, it leaves the shortcut. The scheduler is a
    // service, busy at sign-in when the program starts hidden: it is asked
    // only for a window about to be seen.
    const bool byTask = ::IsWindowVisible(hwnd()) && LogonTaskRegistered();
    SetCheck(Control("chkOption", 0), byTask || FileExists(gStartupLink));
    ::EnableWindow(Control("chkOption", 0), !byTask);
}

void MainWindow::ShowOptions() {
    ShowStartWithWindows();
    Options& options = *options_;
    SetCheck(Control("chkOption", 1), options.showInSysTray);
    if (links_.showTray) options.showInSysTray = links_.showTray(options.showInSysTray);
    // As the popup shows them: large for kLargeIcons alone.
    SetCheck(Control("optOption", 0), options.iconSize != kLargeIcons);
    SetCheck(Control("optOption", 1), options.iconSize == kLargeIcons);
    SetCheck(Control("chkOption", 2), options.explorer);
    if (links_.optionsChanged) links_.optionsChanged();
}

bool MainWindow::ApplyStartupLink(bool startWithWindows) {
    if (!::IsWindowEnabled(Control("chkOption", 0))) return true;  // the logon task starts it
    if (startWithWindows) {
        // The Startup folder may have been deleted; Windows still starts
        // what it holds once it is back.
        if (gStartupLink.empty() || !CreatePath(GetParentFolder(gStartupLink))) {
            ReportWriteFailure(gStartupLink, ERROR_PATH_NOT_FOUND);
            return false;
        }
        if (!CreateShortcut(gStartupLink, gAppPath + ExecutableName() + ".exe", "", "", "", "",
                            0)) {
            ReportWriteFailure(gStartupLink, ::GetLastError());
            return false;
        }
    } else if (FileExists(gStartupLink) && !::DeleteFileW(Widen(gStartupLink).c_str())) {
        ReportWriteFailure(gStartupLink, ::GetLastError());
        return false;
    }
    return true;
}

void MainWindow::OnOption(Command command) {
    Options& options = *options_;
    switch (command) {
    case Command::kShowInSysTray:
        options.showInSysTray =
            links_.showTray ? links_.showTray(IsChecked(Control("chkOption", 1))) : false;
        return;
    case Command::kExplorer:
        options.explorer = IsChecked(Control("chkOption", 2));
        if (links_.optionsChanged) links_.optionsChanged();
        return;
    case Command::kSmallMenuIcons:
    case Command::kLargeMenuIcons:
        options.iconSize = command == Command::kSmallMenuIcons ? kSmallIcons : kLargeIcons;
        return;
    default:
        return;
    }
}

}  // namespace jumpnest
