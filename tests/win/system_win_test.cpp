// Starting targets, the environment probe, the single instance, the version.
#include "support_win.h"
#include "core/text.h"
#include "trigger/pass_through.h"
#include "trigger/pass_through_win.h"
#include "ui/text/appearance_win.h"

namespace jumpnest::test {

// The programs `act` starts, however the shell starts them: this process sits
// in a job, which reports each new member. They are ended again at once.
std::vector<std::string> ProgramsStartedBy(const std::function<void()>& act) {
    static const HANDLE job = ::CreateJobObjectW(nullptr, nullptr);
    static JOBOBJECT_ASSOCIATE_COMPLETION_PORT port{
        nullptr, ::CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1)};
    static const bool watching =
        ::SetInformationJobObject(job, JobObjectAssociateCompletionPortInformation, &port,
                                  sizeof port) &&
        ::AssignProcessToJobObject(job, ::GetCurrentProcess());
    EXPECT_TRUE(watching) << "without the job nothing started would be seen";
    act();
    std::vector<std::string> started;
    DWORD event = 0;
    ULONG_PTR key = 0;
    OVERLAPPED* id = nullptr;
    while (::GetQueuedCompletionStatus(port.CompletionPort, &event, &key, &id,
                                       started.empty() ? 3000 : 500)) {
        const auto process = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(id));
        if (event != JOB_OBJECT_MSG_NEW_PROCESS || process == ::GetCurrentProcessId()) continue;
        const UniqueHandle child(::OpenProcess(PROCESS_ALL_ACCESS, FALSE, process));
        wchar_t image[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        ::QueryFullProcessImageNameW(child.get(), 0, image, &size);
        ::TerminateProcess(child.get(), 1);
        started.push_back(Narrow(::CharLowerW(image)));
    }
    return started;
}

TEST(LaunchTarget, MissingStartsNothingUnassociatedStartsOpenWithFromTheSystemFolder) {
    const TempFolder folder;
    const std::string target = folder.path + "no program.jnxunknown";  // passed unquoted
    EXPECT_EQ(ProgramsStartedBy([&] { EXPECT_EQ(LaunchTarget(target), LaunchResult::Failed); }),
              std::vector<std::string>{});
    ASSERT_TRUE(WriteFileBytes(target, "x"));
    // A rundll32.exe planted in the current folder must not be the one run.
    ASSERT_TRUE(::CopyFileW(Widen(SystemProgram(L"notepad.exe")).c_str(),
                            Widen(folder.path + "rundll32.exe").c_str(), FALSE));
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(Path(folder.path));
    // Run as administrator asks for no program: the type lacks that verb.
    EXPECT_EQ(ProgramsStartedBy([&] {
                  EXPECT_EQ(LaunchTarget(target, "runas"), LaunchResult::Failed);
                  EXPECT_EQ(LaunchTarget(target), LaunchResult::OpenWith);
              }),
              std::vector<std::string>{SystemProgram(L"rundll32.exe")});
    std::filesystem::current_path(previous);
    // A batch file starts in its own folder, not in this program's.
    ASSERT_TRUE(WriteFileBytes(folder.path + "here.cmd", "@cd> \"" + folder.path + "cd.txt\"\r\n"));
    EXPECT_EQ(LaunchTarget(folder.path + "here.cmd"), LaunchResult::Started);
    EXPECT_TRUE(PumpUntil([&] { return ReadFileBytes(folder.path + "cd.txt").ends_with('\n'); }));
    EXPECT_EQ(AsciiLower(ReadFileBytes(folder.path + "cd.txt")),
              AsciiLower(folder.path.substr(0, folder.path.size() - 1)) + "\r\n");
}

// What another program holding the clipboard open for `ms` does to a copy;
// INFINITE holds it until the copy has given up.
std::string CopiedWhileHeldFor(HWND owner, DWORD ms) {
    const UniqueHandle done(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::atomic<int> holding{0};  // 1 held, 2 could not open it
    std::thread holder([&] {
        holding = ::OpenClipboard(nullptr) ? 1 : 2;
        if (holding != 1) return;
        ::WaitForSingleObject(done.get(), ms);
        ::CloseClipboard();
    });
    while (holding == 0) ::Sleep(1);
    const bool copied = CopyToClipboard(owner, "C:\\Tools\\ünïcode.exe");
    ::SetEvent(done.get());
    holder.join();
    if (holding != 1) return "never held";
    if (!copied) return "not copied";
    if (!::OpenClipboard(nullptr)) return "unreadable";
    const HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    const auto* text = data ? static_cast<const wchar_t*>(::GlobalLock(data)) : nullptr;
    const std::string read = text ? Narrow(text) : "empty";
    if (text) ::GlobalUnlock(data);
    ::CloseClipboard();
    return read;
}

TEST(CopyToClipboard, WaitsForAnotherHolderForAWhileThenGivesUp) {
    const MessageWindow owner;
    EXPECT_EQ(CopiedWhileHeldFor(owner.hwnd, 60), "C:\\Tools\\ünïcode.exe");
    EXPECT_EQ(CopiedWhileHeldFor(owner.hwnd, INFINITE), "not copied");
}

TEST(Probe, SetsTheFoldersAndMakesTheDataFolderOrGoesOnWithout) {
    const std::string appPath = AddBackslash(GetParentFolder(ExecutablePath()));
    const std::string data =
        DataFolderPath(GetSpecialFolder(kFolderCommonAppData), ExecutableName(), appPath);
    const std::shared_ptr<void> cleanup(nullptr, [&](void*) { RemoveTree(data); });
    RemoveTree(data);
    ProbeSystem();
    EXPECT_EQ(std::tuple(gAppPath, gPersonalFolder, gDataFolder, DirExists(data)),
              std::tuple(appPath, GetSpecialFolder(kFolderPersonal), data, true));
    EXPECT_EQ(AddBackslash(Narrow(std::filesystem::current_path().wstring())), gAppPath);
    RemoveTree(data);
    ASSERT_TRUE(WriteFileBytes(data.substr(0, data.size() - 1), "a file, not a folder"));
    gDesktopWnd = nullptr;  // set after the data folder
    ProbeSystem();
    EXPECT_EQ(std::tuple(gDataFolder, DirExists(data), gDesktopWnd),
              std::tuple(data, false, ::GetDesktopWindow()));
    EXPECT_FALSE(CreatePath(data + "inner\\"));
    // A settings file beside the exe: the lists live there, nothing is made elsewhere.
    RemoveTree(data);
    const std::shared_ptr<void> portable(nullptr,
                                         [&](void*) { RemoveTree(PortableSettingsPath()); });
    for (const bool file : {false, true}) {
        ASSERT_TRUE(file ? WriteFileBytes(PortableSettingsPath(), "")
                         : CreatePath(PortableSettingsPath()));
        ProbeSystem();
        EXPECT_EQ(std::tuple(gPortable, gDataFolder == appPath, DirExists(data)),
                  std::tuple(file, file, !file));
        RemoveTree(PortableSettingsPath());
        RemoveTree(data);
    }
    gPortable = false;
}

TEST(Instance, OnlyTheFirstMutexHolderIsFirst) {
    const std::string name = "Local\\jumpnest-test-" + std::to_string(::GetCurrentProcessId());
    {
        const InstanceMutex first(name), second(name);
        EXPECT_TRUE(first.IsFirst() && !second.IsFirst());
    }
    EXPECT_TRUE(InstanceMutex(name).IsFirst()) << "every holder is gone";
}

TEST(VersionRecord, OfTheRealProgramIsReadBack) {
    std::string exe = JUMPNEST_EXE_PATH;  // a Linux path when cross-built: drive Z: under Wine
    if (exe.starts_with('/')) exe.insert(0, "Z:");
    const auto version = ReadVersionRecord(exe);
    ASSERT_TRUE(version) << exe;
    EXPECT_EQ(std::to_string(version->major) + "." + std::to_string(version->minor) + "." +
                  std::to_string(version->revision),
              JUMPNEST_VERSION);
    EXPECT_FALSE(ReadVersionRecord(exe + ".missing"));
}

TEST(LibrarySearch, NarrowedToTheSystemFolder) {
    // planted.dll lies beside this program, as a planted library lies beside ours.
    const std::string beside = GetParentFolder(ExecutablePath()) + "planted.dll";
    EXPECT_FALSE(ReadVersionRecord(beside)) << "a library without a version record";
    ASSERT_TRUE(UniqueModule(::LoadLibraryW(L"planted.dll"))) << "found before";
    NarrowLibrarySearch();
    EXPECT_FALSE(UniqueModule(::LoadLibraryW(L"planted.dll")));
    EXPECT_TRUE(UniqueModule(::LoadLibraryW(L"uxtheme.dll")));
}

TEST(PassThrough, ThisProgramsWindowByNameAndInFullScreen) {
    const HWND window = ::CreateWindowExW(WS_EX_TOPMOST, L"BUTTON", L"", WS_POPUP | WS_VISIBLE, 300,
                                          200, 100, 100, nullptr, nullptr, nullptr, nullptr);
    const std::shared_ptr<void> cleanup(nullptr, [&](void*) {
        ::DestroyWindow(window);
        SetPassThrough("", true);
    });
    ASSERT_TRUE(::SetForegroundWindow(window) && ::GetForegroundWindow() == window);
    const std::string self(FileNameOf(ExecutablePath()));
    EXPECT_EQ(AsciiLower(ProgramOfWindow(window)), AsciiLower(self));
    EXPECT_EQ(ProgramOfWindow(window).data(), ProgramOfWindow(window).data()) << "asked once";
    SetPassThrough("other.exe;" + self, true);
    EXPECT_TRUE(LeftAloneAt({350, 250}));
    EXPECT_FALSE(LeftAloneAt({5, 5})) << "the desktop's program is not listed";
    SetPassThrough("other.exe", true);
    EXPECT_FALSE(LeftAloneAt({350, 250}));
    MONITORINFO monitor{sizeof(monitor), {}, {}, 0};
    ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor));
    const RECT& all = monitor.rcMonitor;
    ::MoveWindow(window, all.left, all.top, all.right - all.left, all.bottom - all.top, FALSE);
    EXPECT_TRUE(LeftAloneAt({5, 5})) << "full screen in front";
    SetPassThrough("other.exe", false);
    EXPECT_FALSE(LeftAloneAt({5, 5}));
}

TEST(Appearance, FollowsTheAppModeAndKnowsThemeMessages) {
    const wchar_t* key = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
    const wchar_t* name = L"AppsUseLightTheme";
    DWORD saved = 0, size = sizeof saved;
    const bool had =
        !::RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, &saved, &size);
    const auto set = [&](DWORD value) {
        return !::RegSetKeyValueW(HKEY_CURRENT_USER, key, name, REG_DWORD, &value, sizeof value);
    };
    const std::shared_ptr<void> restore(nullptr, [&](void*) {
        had ? set(saved) : ::RegDeleteKeyValueW(HKEY_CURRENT_USER, key, name);
    });
    for (const std::optional<DWORD> mode : {std::optional<DWORD>{0}, {1}, {}}) {
        ASSERT_TRUE(mode ? set(*mode) : !::RegDeleteKeyValueW(HKEY_CURRENT_USER, key, name));
        const SystemLook look = ReadSystemLook(ThemeChoice::System);
        EXPECT_EQ(look.appsUseLightTheme, mode ? std::optional(*mode != 0) : std::nullopt);
        EXPECT_EQ(ChoosePalette(look).dark, mode == 0u && !look.highContrast);
        EXPECT_EQ(look.colors.window, ::GetSysColor(COLOR_WINDOW));
    }
    EXPECT_GE(WindowsBuild(), 7601u);
    const HWND window = ::CreateWindowExW(0, L"BUTTON", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                          100, 100, nullptr, nullptr, nullptr, nullptr);
    UseDarkTitleBar(window, true), UseSmallRoundCorners(window), UseDarkControls(window, true);
    UseDarkMenus(true), UseDarkMenus(false);
    EXPECT_TRUE(::DestroyWindow(window)) << "every call skipped or done, none fatal";
    // clang-format off
    const std::tuple<UINT, const wchar_t*, bool> messages[] = {
        {WM_SETTINGCHANGE, L"ImmersiveColorSet", true}, {WM_SETTINGCHANGE, nullptr, false},
        {WM_SETTINGCHANGE, L"Environment", false}, {WM_SYSCOLORCHANGE, nullptr, true},
        {WM_THEMECHANGED, nullptr, true}, {WM_PAINT, L"ImmersiveColorSet", false}};
    // clang-format on
    for (const auto& [message, text, change] : messages)
        EXPECT_EQ(IsThemeChangeMessage(message, reinterpret_cast<LPARAM>(text)), change) << message;
}

// The fold the popup really uses: the system's lower case and decomposition, then the search's.
TEST(PopupFilter, FoldsWithTheSystemsTables) {
    // clang-format off
    const std::pair<const char*, std::u32string> folds[] = {{"Straße ẞ", U"strasse ss"},
        {"Éclair", U"eclair"}, {"ΑΘΉΝΑ ΣΟΦΟΣ", U"αθηνα σοφοσ"}, {"Cafe\u0301", U"cafe"}};
    // clang-format on
    for (const auto& [text, folded] : folds)
        EXPECT_EQ(FoldCaption(text, FoldForUser).text, folded) << text;
    const auto found = RankEntries({FoldCaption("Notepad"), FoldCaption("Visual Studio Code")},
                                   FoldCaption("vsc", FoldForUser).text);
    EXPECT_TRUE(found.size() == 1 && found[0].entry == 1);
}

}  // namespace jumpnest::test
