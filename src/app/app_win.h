// The program as a whole: start-up, the wiring of the windows to the entry
// list, what the gestures do, and the one way the program ends.
#pragma once

#include <windows.h>

#include "app/app_window_win.h"
#include "store/entry_list_win.h"
#include "store/persistence_win.h"
#include "store/portable_win.h"
#include "store/program_lists_win.h"
#include "ui/config/main_window_win.h"
#include "ui/config/tray_win.h"
#include "ui/popup/menu_window_win.h"

namespace jumpnest {

// What the program is given from outside: where the options live, how a
// target is looked up, and where the entries' pictures come from.
struct Services {
    SettingsPlace& settings;
    FileProbe isFile;
    PictureSource pictures;
};

class App final : private AppEvents {
public:
    explicit App(Services services);
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // Runs once. False when the process must end at once: another instance
    // runs (and has been asked to come forward), the system is too old, or
    // the program window cannot be made.
    bool Main();
    // The user-interface thread's message loop, until Shutdown; the exit
    // code.
    int Run();
    // Ends the program: every way out comes here. Safe to call again.
    void Shutdown();
    // A request to end (WM_CLOSE, the end of the session, Exit confirmed).
    // Carried out at once, unless it arrives inside a message box, a menu or
    // a dialog that a handler runs: those are closed, the code that opened
    // them finds the program ending (`Ending`) and touches nothing more, and
    // the end follows once that handler has returned.
    void RequestEnd();
    bool Ending() const { return endPending_ || !running_; }

    // The program window, which the hooks, the loader and the shell send to.
    HWND window() const { return window_.hwnd(); }

    // What the gesture does at a screen point: the popup, or the
    // configuration window while there are no entries.
    void Trigger(int x, int y);

    // Makes `controlValue` (as a hot-key control gives it; 0 for none) the
    // shortcut that opens the popup. Unless it is kTaken the one before
    // stays, if Windows gives it back; `stored` is the one the user chose
    // before (see ReplaceHotkey).
    HotkeyOutcome SetHotkey(std::int32_t controlValue, std::int32_t stored = 0);

    // The parts, for the benchmark that times them.
    EntryList& entries() { return entries_; }
    const Store& store() const { return store_; }
    MainWindow& configuration() { return frmMain_; }
    MenuWindow& popup() { return frmMenu_; }

private:
    void OnComeForward() override;
    void OnTrigger(int x, int y) override;
    void OnHotkey() override;
    void OnExplore() override;
    void OnWatchdog() override;
    void OnTray(UINT mouseMessage) override;
    void OnTaskbarCreated() override;
    void OnPictures(WPARAM list, LPARAM pictures) override;
    void OnSessionEnd() override;
    void OnClose() override;
    void OnDeviceArrival() override;
    void OnThemeChange() override;
    // Chooses the palette from the system's look and the stored "Theme", and
    // hands it to the windows.
    void UsePalette();

    bool ShowTray(bool shown);
    // Hands the options to the hooks, which act on them on their own thread.
    void OnOptionsChanged();
    ChordOptions CurrentChordOptions() const;
    HotkeyOutcome ApplyChordOptions(const ChordOptions& options);
    // Starting as administrator at sign-in was switched `on` (or off): the
    // Startup shortcut follows.
    void FollowLogonTask(bool on);
    bool PreparePopup();
    // The list of `program` for the popup; none when it has no list, or one
    // without an entry to show.
    ProgramSection SectionFor(const std::string& program);
    void Trigger(int x, int y, const std::string& program);
    // File > keep everything beside the program.
    MoveOutcome MoveBesideProgram();

    // OLE for this thread, set up first and ended last.
    struct OleSession {
        HRESULT result = E_FAIL;
        void Begin();
        void End();
    };

    // Members go in reverse order: the windows, which listen to the entry
    // list and draw its pictures, before the list; OLE last of all.
    Services services_;
    Store store_;
    Options options_;
    Palette palette_{};
    OleSession ole_;
    AppWindow window_;
    TrayIcon tray_;
    EntryList entries_;
    ProgramLists programs_;
    MainWindow frmMain_;
    MenuWindow frmMenu_;
    // The registered shortcut, as its control value: 0 while another program
    // holds the stored one.
    std::int32_t hotkey_ = 0;
    bool running_ = false;
    // An end waits for a handler to return.
    bool endPending_ = false;
};

}  // namespace jumpnest
