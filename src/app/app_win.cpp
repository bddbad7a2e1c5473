#include "app/app_win.h"

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <string>

#include "core/dpi_win.h"
#include "core/encoding_win.h"
#include "core/environment_win.h"
#include "core/globals.h"
#include "core/handle_win.h"
#include "core/instance_win.h"
#include "core/paths.h"
#include "core/trace_win.h"
#include "core/version.h"
#include "store/entry_store_win.h"
#include "store/logon_task_win.h"
#include "store/shortcut_win.h"
#include "store/settings.h"
#include "trigger/hooks_win.h"
#include "trigger/hotkey.h"
#include "trigger/keyboard_layout_win.h"
#include "trigger/launch_win.h"
#include "trigger/pass_through.h"
#include "trigger/pass_through_win.h"
#include "trigger/program_at_win.h"
#include "ui/text/appearance_win.h"
#include "ui/text/captions.h"
#include "ui/text/designs.h"

namespace jumpnest {

namespace {

constexpr wchar_t kTooOldText[] = L"Jumpnest needs Windows 2000 or higher!";
constexpr wchar_t kTooOldTitle[] = L"Wrong Windows Version";

// How often the watchdog looks whether Windows dropped the input hooks.
constexpr unsigned kWatchdogIntervalMs = 2000;
// How long the end of the program waits for a thread of its own. The icon
// loader may be stuck in the shell on a dead network share; the hooks'
// thread ends at once unless something is badly wrong.
constexpr unsigned kThreadEndWaitMs = 300;

// How long ago Windows created this process: the start-up figure the
// benchmarks quote, from the trace.
long long MillisecondsSinceStart() {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) return -1;
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    auto ticks = [](const FILETIME& time) {
        return static_cast<long long>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) |
                                      time.dwLowDateTime);
    };
    return (ticks(now) - ticks(created)) / 10000;  // 100 ns units
}

std::wstring SystemFolder() {
    const UINT size = ::GetSystemDirectoryW(nullptr, 0);  // with the closing NUL
    std::wstring folder(size, L'\0');
    folder.resize(::GetSystemDirectoryW(folder.data(), size));
    return folder;
}

// Visual styles need uxtheme.dll. It is looked for in the system folder only:
// a copy beside the program must never be loaded in its place.
bool VisualStylesLibraryPresent() {
    UniqueModule library(::LoadLibraryW((SystemFolder() + L"\\uxtheme.dll").c_str()));
    return static_cast<bool>(library);
}

// The file of the common controls this program is bound to: the side-by-side
// version 6 when the manifest took. The name is resolved through the
// program's activation context, as the delay-loaded import was.
std::string CommonControlsFile() {
    HMODULE comctl = ::GetModuleHandleW(L"comctl32.dll");
    if (!comctl) return {};
    std::wstring file(MAX_PATH, L'\0');
    file.resize(::GetModuleFileNameW(comctl, file.data(), static_cast<DWORD>(file.size())));
    return Narrow(file);
}

// The values that follow from the environment probe: whether visual styles
// are present and the paths of the entry file and start-up shortcut.
void InitApplication() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES | ICC_LINK_CLASS;
    ::InitCommonControlsEx(&controls);

    gThemed = VisualStylesLibraryPresent();
    gIniFile = EntryFilePath(gDataFolder, ExecutableName(), gUserName);
    // Without a Startup folder there is no place for the shortcut; a link
    // path made of the name alone would put it in the current folder.
    const std::string startupFolder = GetSpecialFolder(kFolderStartup);
    gStartupLink = startupFolder.empty() ? std::string() : StartupLinkPath(startupFolder);

    if (!TraceEnabled()) return;
    Trace(std::string("themed: ") + (gThemed ? "1" : "0"));
    Trace("comctl32: " + CommonControlsFile());
    Trace("ini: " + gIniFile);
    Trace("startup link: " + gStartupLink);
}

// Asks for the entries' pictures at the scale of every monitor, to be
// fetched in the background: the first trigger on any of them then finds
// its pictures ready.
void PreparePicturesForEveryMonitor(const EntryList& entries) {
    ::EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR, HDC, LPRECT area, LPARAM list) -> BOOL {
            const POINT centre{(area->left + area->right) / 2, (area->top + area->bottom) / 2};
            reinterpret_cast<const EntryList*>(list)->Images(true, DpiAt(centre));
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&entries));
}

}  // namespace

void App::OleSession::Begin() {
    result = ::OleInitialize(nullptr);
}

void App::OleSession::End() {
    if (SUCCEEDED(result)) ::OleUninitialize();
    result = E_FAIL;
}

App::App(Services services)
    : services_(std::move(services)),
      store_{services_.settings, services_.isFile, &programs_},
      window_(*this),
      entries_(services_.pictures, services_.isFile),
      programs_(services_.pictures, services_.isFile) {}

App::~App() {
    Shutdown();
}

bool App::Main() {
    if (!InitEnvironment()) return false;

    if (!IsSupportedSystem(gWinVersion)) {
        Trace("refused: system too old");
        ::MessageBoxW(nullptr, kTooOldText, kTooOldTitle,
                      MB_OK | MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
        return false;
    }

    // The shell's objects (icons, links) and drag and drop need OLE on this
    // thread; it is set up once for the whole run instead of around every call.
    ole_.Begin();
    InitApplication();
    if (!window_.Create(ExecutableName())) {
        Trace("the program window could not be created");
        ole_.End();
        return false;
    }
    // Started with full rights at sign-in, the program would not hear a
    // restarted taskbar nor a second start: Windows drops messages from
    // programs with fewer rights unless the window lets these two through.
    for (const UINT message : {TrayIcon::TaskbarCreatedMessage(), ComeForwardMessage()}) {
        ::ChangeWindowMessageFilterEx(window_.hwnd(), message, MSGFLT_ALLOW, nullptr);
    }
    running_ = true;
    entries_.StartLoader(window_.hwnd());

    // Once, at the start, and only saves a minute old: another copy of the
    // program, in another sign-in of the same user, may be writing one now.
    RemoveLeftoverSaves(gIniFile);
    // The lists of single programs are read with the common one; their
    // pictures come to the program window too. The popup reads the list of
    // its program while it is open: a list removed, or read again, closes it
    // first.
    programs_.Locate(gDataFolder, ExecutableName(), gUserName, window_.hwnd());
    programs_.Listen([this] {
        if (frmMenu_.IsOpen()) frmMenu_.Close();
    });
    // The options are read before the window loads: its load handler shows
    // them. The palette is chosen before any window is made, which then
    // draws in it from the start.
    const bool firstStart = LoadSettings(store_, entries_, options_);
    UsePalette();
    frmMain_.Load(
        entries_, store_, options_,
        {[this] { return frmMenu_.IsOpen(); }, [this] { RequestEnd(); },
         [this] { return Ending(); }, [this] { OnOptionsChanged(); },
         [this](bool shown) { return ShowTray(shown); }, [this] { return CurrentChordOptions(); },
         [this](const ChordOptions& options) { return ApplyChordOptions(options); },
         [this] { return MoveBesideProgram(); }});
    if (firstStart) frmMain_.Show();

    // The hooks come last: what they consult is in place now.
    SetHookTarget(window_.hwnd());
    InstallKeyboardHook();
    InstallMouseHook(kActiveMouseHookMode);
    window_.StartWatchdog(kWatchdogIntervalMs);
    if (TraceEnabled()) Trace("ready: " + std::to_string(MillisecondsSinceStart()) + " ms");
    ProcessElevated();
    // The popup's window is made now, while nobody waits for it, so that the
    // first trigger only has to show it.
    PreparePopup();
    PreparePicturesForEveryMonitor(entries_);
    const std::int32_t hotkey = options_.hotkey;
    const std::optional<Hotkey> storedKey = HotkeyFromControlValue(hotkey);
    const std::optional<TypedCharacter> typed =
        storedKey ? CharacterTypedBy(*storedKey, InstalledKeyboardLayouts()) : std::nullopt;
    if (hotkey && !storedKey) {
        // Left as it is: the user's to change in the dialog.
        Trace("hotkey " + std::to_string(hotkey) + " ignored: not a shortcut with Ctrl or Alt");
    } else if (typed) {
        // Chosen before it was checked, or before a layout that types with
        // it was added: kept, and the dialog says why it does nothing.
        Trace("hotkey " + std::to_string(hotkey) + " not registered: types " + typed->character +
              " on " + typed->layout);
    } else if (hotkey && SetHotkey(hotkey, hotkey) != HotkeyOutcome::kTaken) {
        Trace("hotkey " + std::to_string(hotkey) + " refused: held by another program");
    }
    if (const PortableSettings* file = services_.settings.portableFile(); file && file->broken()) {
        // Said once the program works: it runs on the defaults meanwhile, and
        // the user should know why.
        ::MessageBoxW(nullptr,
                      Widen(PortableSettingsBrokenMessage(options_.language, file->path())).c_str(),
                      L"Jumpnest", MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND);
    }
    return !Ending();
}

int App::Run() {
    MSG message{};
    while (running_ && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!frmMain_.PreTranslate(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        if (endPending_) Shutdown();
    }
    Shutdown();
    return 0;
}

void App::RequestEnd() {
    if (!running_) return;
    // Only the handler of the request itself is running: nothing of ours is
    // half-way through anything.
    if (Window::HandlingDepth() <= 1) {
        Shutdown();
        return;
    }
    if (endPending_) return;
    endPending_ = true;
    Trace("end requested inside a nested loop: after it");
    // The loop is ended so that the end comes promptly: a menu, and every
    // message box or dialog of this thread (they answer as if cancelled).
    ::EndMenu();
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM) -> BOOL {
            wchar_t name[8] = {};
            if (::GetClassNameW(window, name, 8) && std::wstring(name) == L"#32770") {
                ::EndDialog(window, IDCANCEL);
            }
            return TRUE;
        },
        0);
    // The handler may have been sent its message while the loop waited: a
    // message of our own wakes the loop to carry the end out.
    ::PostMessageW(window_.hwnd(), WM_NULL, 0, 0);
}

void App::Shutdown() {
    if (!running_) return;
    running_ = false;
    Trace("quit");
    // In this order:
    // 1. The popup: it shows the entry list and its pictures.
    frmMenu_.Destroy();
    // 2. The configuration window, its drop target revoked first: OLE holds
    //    a pointer to the target and calls it while the window lives.
    frmMain_.Close();
    // 3. The icon loader, waited for only briefly: a file on a dead share
    //    can hold its thread in the shell for minutes. What it posts later
    //    finds no window.
    entries_.StopLoader(kThreadEndWaitMs);
    programs_.StopLoaders(kThreadEndWaitMs);
    // 4. The hooks and their thread, and the shortcut: no more triggers.
    RemoveHooks(kThreadEndWaitMs);
    SetHotkey(0);
    // 5. The notification-area icon, which the program window owns.
    tray_.Remove();
    Trace("tray icon removed");
    window_.Destroy();
    // 6. OLE last: nothing of ours holds an OLE object any more.
    ole_.End();
    Trace("ended");
    ::PostQuitMessage(0);
}

void App::OnComeForward() {
    // A second start asks us to come forward: that means the configuration
    // window.
    frmMain_.Show();
}

void App::OnTrigger(int x, int y) {
    Trigger(x, y);
}

void App::Trigger(int x, int y) {
    // The program under the gesture is asked here, not on the hook's thread,
    // before the popup covers its place, and only while some program has a
    // list of its own.
    Trigger(x, y, programs_.programs().empty() ? std::string() : ProgramAt({x, y}));
}

ProgramSection App::SectionFor(const std::string& program) {
    ProgramLists::Program* own = program.empty() ? nullptr : programs_.Find(program);
    if (!own) return {};
    own->list.Recheck();
    return {&own->list, own->key, own->ownEntriesOnly};
}

void App::Trigger(int x, int y, const std::string& program) {
    // Entries found away are asked after again, for the next opening.
    entries_.Recheck();
    const ProgramSection section = SectionFor(program);
    const size_t own = section.list ? section.list->availableCount() : 0;
    if (own == 0 && (section.ownEntriesOnly || entries_.availableCount() == 0)) {
        // Nothing to start: the configuration window says why.
        frmMain_.Show();
        Trace("trigger: no entries, configuration window");
        return;
    }
    if (frmMenu_.IsOpen()) {
        frmMenu_.Activate();
        return;
    }
    // Twips of the monitor under the cursor: the popup converts them back
    // with the same scale.
    const MonitorPlace monitor = MonitorAt({x, y});
    const double twipsPerPixel = TwipsPerPixel(monitor.dpi);
    const MenuOrigin origin = MenuOriginFor({x, y}, twipsPerPixel, twipsPerPixel);
    Trace("trigger at " + std::to_string(x) + "," + std::to_string(y));
    if (PreparePopup()) frmMenu_.Open(monitor, origin, section);
}

HotkeyOutcome App::SetHotkey(std::int32_t controlValue, std::int32_t stored) {
    constexpr int kHotkeyId = 1;
    const HWND window = window_.hwnd();
    const std::int32_t before = hotkey_;
    const HotkeyChange change = ReplaceHotkey(
        hotkey_, stored, controlValue,
        // A shortcut that types a character on one of the user's layouts is
        // never taken, whoever asks: refused like one another program holds.
        [window](const Hotkey& key) {
            return !CharacterTypedBy(key, InstalledKeyboardLayouts()) &&
                   ::RegisterHotKey(window, kHotkeyId, key.modifiers, key.virtualKey) != FALSE;
        },
        [window](const Hotkey&) { ::UnregisterHotKey(window, kHotkeyId); });
    hotkey_ = change.registered;
    if (change.outcome == HotkeyOutcome::kOldLost) {
        Trace("hotkey " + std::to_string(before) + " lost: taken by another program meanwhile");
    }
    if (hotkey_ != before) Trace("hotkey: " + std::to_string(hotkey_));
    return change.outcome;
}

ChordOptions App::CurrentChordOptions() const {
    // The stored shortcut, not the registered one: while another program
    // holds it, OK without a change must not erase it.
    const std::int32_t hotkey = HotkeyFromControlValue(options_.hotkey) ? options_.hotkey : 0;
    return {ParseProgramList(options_.excludedPrograms), options_.passFullScreen, hotkey,
            hotkey != hotkey_, std::nullopt};
}

void App::FollowLogonTask(bool on) {
    // The task starts the program at sign-in in the shortcut's place: one
    // start, not two. Switched off, the program goes on starting with
    // Windows the ordinary way, until "Start with Windows" is cleared.
    bool done = true;
    if (on) {
        done = !FileExists(gStartupLink) || ::DeleteFileW(Widen(gStartupLink).c_str());
    } else if (!gStartupLink.empty()) {
        done =
            CreatePath(GetParentFolder(gStartupLink)) &&
            CreateShortcut(gStartupLink, gAppPath + ExecutableName() + ".exe", "", "", "", "", 0);
    }
    Trace(std::string("startup link ") + (on ? "removed" : "made") + (done ? "" : ": failed"));
    frmMain_.ShowOptions();
}

HotkeyOutcome App::ApplyChordOptions(const ChordOptions& options) {
    // Whatever becomes of the shortcut: the task has been switched.
    if (options.logonTaskSwitched) FollowLogonTask(*options.logonTaskSwitched);
    // The shortcut first: when it cannot be had nothing is taken, unless it
    // is the stored one, chosen again while another program still holds it.
    const HotkeyOutcome outcome = SetHotkey(options.hotkey, CurrentChordOptions().hotkey);
    if (outcome != HotkeyOutcome::kTaken && outcome != HotkeyOutcome::kStillHeld) return outcome;
    std::string& programs = options_.excludedPrograms;
    programs.clear();
    for (const std::string& program : options.programs) {
        programs += (programs.empty() ? "" : ";") + program;
    }
    options_.passFullScreen = options.passFullScreen;
    options_.hotkey = options.hotkey;
    OnOptionsChanged();
    // Stored at once, as the language is: Cancel in the configuration
    // window does not take them back.
    services_.settings.Write("ExcludedPrograms", programs);
    services_.settings.Write("PassFullScreen", options_.passFullScreen ? "1" : "0");
    services_.settings.Write("Hotkey", std::to_string(options_.hotkey));
    Trace("exclusions: " + programs + (options_.passFullScreen ? ", not over full screen" : ""));
    return outcome;
}

void App::OnHotkey() {
    // At the mouse, as the chord opens it; the popup takes the keyboard, so
    // typing filters at once.
    POINT cursor{};
    ::GetCursorPos(&cursor);
    Trace("hotkey pressed");
    // The shortcut is typed in the window in front: its program's list.
    Trigger(cursor.x, cursor.y, programs_.programs().empty() ? std::string() : ProgramInFront());
}

void App::OnOptionsChanged() {
    SetMiddleButtonOpensExplorer(options_.explorer);
    SetPassThrough(options_.excludedPrograms, options_.passFullScreen);
}

bool App::PreparePopup() {
    // Made once; made again only when it could not be made, or when
    // something outside destroyed it.
    return frmMenu_.hwnd() || frmMenu_.Load(entries_, options_, [this] { frmMain_.Show(); });
}

MoveOutcome App::MoveBesideProgram() {
    const MoveOutcome moved =
        jumpnest::MoveBesideProgram(services_.settings, store_, entries_, options_);
    Trace(moved ? "moved beside the program: " + gDataFolder
                : "not moved beside the program: " + moved.place + ", error " +
                      std::to_string(moved.error));
    return moved;
}

void App::OnExplore() {
    Trace("explore: " + gPersonalFolder);
    ::ShellExecuteW(gDesktopWnd, L"explore", Widen(gPersonalFolder).c_str(), L"", L"",
                    SW_SHOWNORMAL);
}

void App::OnWatchdog() {
    CheckHooks();
}

void App::OnTray(UINT mouseMessage) {
    if (mouseMessage == WM_LBUTTONUP) frmMain_.Show();
    if (mouseMessage == WM_RBUTTONUP) frmMain_.ShowFileMenuAtCursor();
}

void App::OnTaskbarCreated() {
    tray_.Restore();
}

void App::OnPictures(WPARAM list, LPARAM pictures) {
    if (list == 0) {
        entries_.TakePictures(IconLoader::Take(pictures));
        return;
    }
    programs_.TakePictures(list, IconLoader::Take(pictures));
    // A program's list may be the one the popup shows: its rows read their
    // pictures as they are drawn.
    if (frmMenu_.IsOpen()) frmMenu_.Refresh();
}

void App::OnSessionEnd() {
    frmMain_.QueryClose(CloseReason::SessionEnding);
}

void App::OnClose() {
    RequestEnd();
}

void App::OnDeviceArrival() {
    entries_.Recheck();
}

void App::OnThemeChange() {
    UsePalette();
}

void App::UsePalette() {
    const Palette palette = ChoosePalette(
        ReadSystemLook(ParseThemeChoice(services_.settings.Read("Theme").value_or(""))));
    if (palette == palette_) return;
    palette_ = palette;
    UseDarkMenus(palette_.dark);
    frmMain_.SetPalette(palette_);
    frmMenu_.SetPalette(palette_);
    Trace(std::string("palette: ") + (palette_.highContrast ? "high contrast"
                                      : palette_.dark       ? "dark"
                                                            : "light"));
}

bool App::ShowTray(bool shown) {
    if (shown) {
        tray_.Add(window_.hwnd(),
                  reinterpret_cast<HICON>(::GetClassLongPtrW(window_.hwnd(), GCLP_HICONSM)),
                  Widen(ProgramTitle(gAppVersionText)));
    } else {
        tray_.Remove();
    }
    Trace(std::string("tray: ") + (tray_.IsShown() ? "1" : "0"));
    return tray_.IsShown();
}

}  // namespace jumpnest
