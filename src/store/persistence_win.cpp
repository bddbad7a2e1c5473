#include "store/persistence_win.h"

#include <windows.h>

#include "core/environment_win.h"
#include "core/globals.h"
#include "core/trace_win.h"
#include "store/entry_store_win.h"
#include "store/settings.h"
#include "store/settings_win.h"
#include "ui/config/main_window_win.h"

namespace jumpnest {

namespace {

// Why an existing entry file could not be read (locked by another program,
// or it belongs to another user), or 0. The list then shows nothing, and
// saving it would replace the user's entries with that nothing.
DWORD gEntryFileReadError = 0;

}  // namespace

void LoadSettings() {
    RegistrySettings store;
    const Options options = LoadOptions(store, gGermanLocale, gLanguage);
    gLanguage = options.language;
    gShowInSysTray = options.showInSysTray;
    gIconSize = options.iconSize;
    gExplorer = options.explorer;

    // The window's load handler reads the options above, so they come first.
    MainWindow& window = frmMain();
    RemoveLeftoverSaves(gIniFile);
    auto entries = ReadEntryFile(gIniFile);
    const DWORD readError = ::GetLastError();
    gEntryFileReadError = !entries && FileExists(gIniFile) ? readError : 0;
    window.SetEntries(entries ? std::move(*entries) : std::vector<MenuEntry>{});
    if (gEntryFileReadError) {
        Trace("the entry file could not be read: " + gIniFile + ", error " +
              std::to_string(gEntryFileReadError));
    } else if (!entries) {
        // No entry file: the first start for this user, or no Apply yet.
        store.Write("AppPath", gAppPath + ExecutableName() + ".exe");
        window.Show();
    }
}

bool SaveSettings() {
    RegistrySettings store;
    SaveOptions(store, Options{gLanguage, gShowInSysTray, gIconSize, gExplorer}, gAppVersion);
    if (gEntryFileReadError && FileExists(gIniFile)) {
        Trace("the entry file was not read, so it is not overwritten: " + gIniFile);
        ::SetLastError(gEntryFileReadError);
        return false;
    }
    const bool saved = WriteEntryFile(gIniFile, frmMain().entries());
    if (!saved) Trace("the entry file could not be written: " + gIniFile);
    return saved;
}

}  // namespace jumpnest
