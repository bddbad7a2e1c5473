// The entry list and its pictures, the configuration window, the one way out, the hooks.
#include "support_win.h"
#include <oleacc.h>
#include "trigger/keyboard_layout_win.h"
#include "ui/text/captions.h"

namespace jumpnest::test {

// Pictures that note which file was asked for at which scale on which
// thread; the file named `held` waits (up to 10 s) for `release`.
struct FakePictures {
    PictureSource Source() {
        return [this](const std::string& target, int dpi) {
            {
                const std::lock_guard<std::mutex> lock(mutex);
                asked[dpi].push_back(target);
                threads.insert(::GetCurrentThreadId());
            }
            if (target == held) ::WaitForSingleObject(release.get(), 10000);
            const HICON icon = ::LoadIconW(nullptr, IDI_APPLICATION);
            return EntryPictures{UniqueIcon(::CopyIcon(icon)), UniqueIcon(::CopyIcon(icon))};
        };
    }
    std::vector<std::string> Asked(int dpi = 96) {
        const std::lock_guard<std::mutex> lock(mutex);
        return asked[dpi];
    }
    std::mutex mutex;
    std::map<int, std::vector<std::string>> asked;  // the files, by scale
    std::set<DWORD> threads;
    std::string held;
    UniqueHandle release{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

TEST(IconLoader, StopIsBoundedWhileTheSourceIsStuckAndAtOnceWhenIdle) {
    FakePictures fake;
    const MessageWindow window;
    IconLoader idle(window.hwnd, kPicturesMessage, fake.Source());
    IconLoader stuck(window.hwnd, kPicturesMessage, fake.Source());
    fake.held = "\\\\sleeping\\share\\app.exe";
    stuck.Load({{fake.held, 96}});
    ASSERT_TRUE(PumpUntil([&] { return !fake.Asked().empty(); }));
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_FALSE(stuck.Stop(300));
    EXPECT_LT(::GetTickCount64() - start, 1000u);
    EXPECT_TRUE(idle.Stop(1000));
    ::SetEvent(fake.release.get());
}

class EntryListTest : public testing::Test {
protected:
    std::string File(const std::string& name) {
        EXPECT_TRUE(WriteFileBytes(temp_.path + name, "MZ"));
        return temp_.path + name;
    }
    ~EntryListTest() override { list_.StopLoader(1000); }
    // Starts the loader at the scale in use; the program folder's picture comes first.
    void Start(const std::string& appPath) {
        list_.Images(true, 96);
        list_.StartLoader(window_.hwnd);
        gAppPath = appPath;
    }
    bool Loaded() {
        return PumpUntil([&] { return !list_.picturesPending(); }, 10000,
                         [&](const MSG& m) {
                             if (m.message == kPicturesMessage)
                                 list_.TakePictures(IconLoader::Take(m.lParam));
                         });
    }
    TempFolder temp_;
    const MessageWindow window_;
    FakePictures fake_;
    std::string away_;                 // the one file that is not there
    std::atomic<DWORD> probedOn_ = 0;  // the thread that asked last
    EntryList list_{fake_.Source(), [this](const std::string& path) {
                        probedOn_ = ::GetCurrentThreadId();
                        return path != away_;
                    }};
    const std::string a_ = File("a.exe"), b_ = File("b.exe"), c_ = File("c.exe"),
                      d_ = File("d.exe");
};

// The loader answers every file in order, then ends the batch; files dropped
// while it is busy join the batch, and a drop after its end ends it anew.
TEST_F(EntryListTest, DroppedFilesGetTheirPicturesFromTheLoaderThread) {
    Start(fake_.held = temp_.path);  // held
    list_.Replace({{"A", a_}});
    ASSERT_TRUE(PumpUntil([&] { return !fake_.Asked().empty(); }));
    EXPECT_EQ(list_.AddDropped({b_, temp_.path, c_, b_}, FileExists), 2u);
    const auto generation = list_.generation();
    ::SetEvent(fake_.release.get());
    ASSERT_TRUE(Loaded());
    EXPECT_EQ(list_.generation(), generation) << "pictures are no structural edit";
    EXPECT_EQ(list_.AddDropped({d_}, FileExists), 1u);
    ASSERT_TRUE(list_.picturesPending() && Loaded());
    EXPECT_EQ(fake_.Asked(), (std::vector<std::string>{gAppPath, a_, b_, c_, d_}));
    EXPECT_EQ(fake_.threads.size(), 1u);
    EXPECT_FALSE(fake_.threads.contains(::GetCurrentThreadId()));
    std::map<std::string, int> pictures;
    for (size_t i = 0; i < 4; ++i) pictures[list_.entries()[i].target] = list_.Image(i, 96);
    EXPECT_EQ(pictures, (std::map<std::string, int>{{a_, 1}, {b_, 2}, {c_, 3}, {d_, 4}}));
    list_.Move(0, +1);
    list_.Remove(0);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(list_.Image(i, 96), pictures[list_.entries()[i].target]);
}

// Every display scale has lists of its own sizes, filled once: a scale asked
// for again costs no loading, and edits reach the pictures of every scale.
TEST_F(EntryListTest, PicturesOfEachScaleAtItsSizes) {
    Start(temp_.path);
    list_.Replace({{"A", a_}, {"B", b_}});
    for (const auto& [dpi, large, small] :
         {std::tuple{96, 32, 16}, {120, 40, 20}, {144, 48, 24}, {192, 64, 32}}) {
        EXPECT_EQ(std::pair(IconEdge(list_.Images(true, dpi)), IconEdge(list_.Images(false, dpi))),
                  std::pair(large, small))
            << dpi;
    }
    ASSERT_TRUE(Loaded());
    for (int dpi : {96, 120, 144, 192}) {
        EXPECT_EQ(fake_.Asked(dpi), (std::vector<std::string>{gAppPath, a_, b_})) << dpi;
        EXPECT_EQ(ImageList_GetImageCount(list_.Images(false, dpi)), 3) << dpi;
    }
    list_.Images(true, 144);
    EXPECT_FALSE(list_.picturesPending());
    list_.Move(0, +1);
    EXPECT_EQ(list_.Image(0, 192), 2);
    EXPECT_EQ(list_.Image(1, 120), 1);
}

TEST_F(EntryListTest, GenerationChangesOnStructuralEditsOnly) {
    const auto changes = [&](const std::function<void()>& edit) {
        const auto before = list_.generation();
        edit();
        return list_.generation() != before;
    };
    EXPECT_TRUE(changes([&] { list_.Replace({{"A", a_}, {"B", b_}}); }));
    EXPECT_TRUE(changes([&] { list_.AddDropped({c_, a_}, FileExists); }));
    EXPECT_FALSE(changes([&] { list_.AddDropped({c_, temp_.path}, FileExists); }));
    EXPECT_FALSE(changes([&] { list_.Rename(0, "x\ty\r\nz"); }));
    EXPECT_TRUE(changes([&] { list_.Move(0, +1); }));
    EXPECT_FALSE(changes([&] { list_.Move(0, -1); }));
    EXPECT_TRUE(changes([&] { list_.Remove(2); }));
    EXPECT_EQ(list_.entries(), (std::vector<MenuEntry>{{"B", b_}, {"xyz", a_}}));
}

// Whether a file is there is asked on the loader's thread, never on the window's: a dead
// share costs it nothing. An entry found away is kept, and back once its file is.
TEST_F(EntryListTest, FilesAwayAreAskedAfterOffThisThreadAndKept) {
    Start(temp_.path);
    away_ = "\\\\asleep\\b.exe";
    list_.Replace({{"A", a_}, {"B", away_}, {"C", c_}});
    ASSERT_TRUE(Loaded());
    EXPECT_EQ(std::tuple(list_.entries().size(), list_.available(1), list_.availableCount()),
              std::tuple(3u, false, 2u));
    EXPECT_NE(probedOn_, ::GetCurrentThreadId());
    away_.clear();  // the share is connected
    list_.Recheck();
    ASSERT_TRUE(Loaded() && list_.available(1));
}

class ConfigWindow : public testing::Test {
protected:
    void SetUp() override {
        gIniFile = temp_.path + "list.ini";
        gStartupLink = temp_.path + "Startup\\kqrJumpnest.lnk";
        ASSERT_TRUE(window_.Load(list_, store_, options_, {}));
    }
    TempFolder temp_;
    ScratchKey key_;
    const Store store_{key_.settings, FileExists};
    Options options_;
    EntryList list_{StuckPictures};  // no loader: the pictures are never asked for
    MainWindow window_;
};

// Its controls, fonts and pictures follow a monitor of another scale, and back again.
TEST_F(ConfigWindow, FollowsItsMonitorsScale) {
    const auto place = [&](const char* name, int index = -1) {
        RECT rect{};
        ::GetWindowRect(window_.Control(name, index), &rect);
        ::MapWindowPoints(nullptr, window_.hwnd(), reinterpret_cast<POINT*>(&rect), 2);
        LOGFONTW font{};
        ::GetObjectW(
            reinterpret_cast<HFONT>(::SendMessageW(window_.Control(name, index), WM_GETFONT, 0, 0)),
            sizeof font, &font);
        return std::tuple(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                          font.lfHeight);
    };
    const int start = SystemDpi();
    for (const auto& [dpi, list, apply] :
         {std::tuple{144, std::tuple(354, 6, 386, 404, -20), std::tuple(456, 426, 134, 38, -17)},
          {192, {472, 8, 514, 538, -26}, {608, 568, 178, 50, -22}},
          {start, place("lvwMenu"), place("cmdButton", 0)}}) {
        EXPECT_TRUE(MovedToScale(window_.hwnd(), dpi, 498, 400)) << dpi;
        EXPECT_EQ(place("lvwMenu"), list) << dpi;
        EXPECT_EQ(place("cmdButton", 0), apply) << dpi;
        EXPECT_EQ(IconEdge(ListView_GetImageList(window_.Control("lvwMenu"), LVSIL_SMALL)),
                  32 * dpi / 96)
            << dpi;
    }
}

TEST_F(ConfigWindow, LanguageMenuMarksTheLanguageAndStoresItAtOnce) {
    const auto realKey = RegistrySettings().Read("Language");
    const UINT english = static_cast<UINT>(Command::kEnglish);
    const auto marks = [&] {  // the language items, "x" where marked
        std::string shown;
        for (UINT item = english; item < english + 4; ++item)
            shown += ::GetMenuState(::GetMenu(window_.hwnd()), item, 0) & MF_CHECKED ? "x" : "-";
        return shown;
    };
    for (const auto& [language, shown, up] :
         {std::tuple{1, "-x--", "Nach oben"}, {3, "---x", "Subir"}, {0, "x---", "Move up"}}) {
        ::SendMessageW(window_.hwnd(), WM_COMMAND, english + language, 0);
        EXPECT_EQ(marks(), shown);
        EXPECT_EQ(key_.settings.Read("Language"), std::to_string(language));
        EXPECT_EQ(WindowText(window_.Control("cmdButton", 2)), up);  // a picture button's name
    }
    options_.language = 7;  // read as English, with no item of its own
    window_.ApplyLanguage();
    EXPECT_EQ(marks(), "----");
    EXPECT_EQ(RegistrySettings().Read("Language"), realKey);
}

TEST_F(ConfigWindow, SavingNeverOverwritesAListThatCouldNotBeRead) {
    const std::string bytes = "Me\t" + ExecutablePath() + "\r\n";
    ASSERT_TRUE(WriteFileBytes(gIniFile, bytes));
    {
        // Another program has the file open while it is loaded.
        const UniqueFile lock(::CreateFileW(Widen(gIniFile).c_str(), GENERIC_READ, 0, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
        EXPECT_FALSE(LoadSettings(store_, list_, options_)) << "not taken for a first start";
    }
    EXPECT_FALSE(SaveSettings(store_, list_, options_));
    EXPECT_EQ(ReadFileBytes(gIniFile), bytes);
    EXPECT_FALSE(LoadSettings(store_, list_, options_));
    EXPECT_TRUE(SaveSettings(store_, list_, options_));
}

// An entry whose file is away is greyed, and its tip says why and names it; the tip of an
// entry at hand names its file.
TEST_F(ConfigWindow, EntryAwayIsGreyedWithItsReason) {
    list_.Replace({{"Here", ExecutablePath()}, {"Away", "\\\\asleep\\b.exe"}});
    auto away = std::make_unique<LoadedPictures>();
    std::tie(away->target, away->probed, away->present) =
        std::tuple("\\\\asleep\\b.exe", true, false);
    list_.TakePictures(std::move(away));
    options_.language = kGerman;
    for (const int row : {0, 1}) {
        NMLVCUSTOMDRAW draw{};
        draw.nmcd.hdr = {window_.Control("lvwMenu"), 0, UINT(NM_CUSTOMDRAW)};
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
        draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
        ::SendMessageW(window_.hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&draw));
        EXPECT_EQ(draw.clrText == ::GetSysColor(COLOR_GRAYTEXT), row == 1) << row;
        // The mouse comes to rest on the row: the tip, the one shown of the thread's, says it.
        const HWND list = window_.Control("lvwMenu");
        RECT place{};
        ListView_GetItemRect(list, row, &place, LVIR_LABEL);
        for (const UINT message : {WM_MOUSEMOVE, WM_MOUSEHOVER}) {
            MSG mouse{list, message, 0, MAKELPARAM(place.left + 2, place.top + 2), 0, {}};
            window_.PreTranslate(mouse);
        }
        HWND tip = nullptr;  // this thread's shown one
        do tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr);
        while (tip && !(::IsWindowVisible(tip) &&
                        ::GetWindowThreadProcessId(tip, nullptr) == ::GetCurrentThreadId()));
        EXPECT_EQ(WindowText(tip), row ? std::string(EntryAwayText(kGerman)) + "\n\\\\asleep\\b.exe"
                                       : ExecutablePath());
    }
    // Moved up and down, the mark goes with its entry (greyed, and left out of the popup).
    for (const auto& [command, from, to] :
         {std::tuple{Command::kEntryUp, 1, 0}, {Command::kEntryDown, 0, 1}}) {
        ListView_SetItemState(window_.Control("lvwMenu"), from, LVIS_SELECTED, LVIS_SELECTED);
        ::SendMessageW(window_.hwnd(), WM_COMMAND, UINT(command), 0);
        EXPECT_EQ(
            std::tuple(list_.entries()[to].caption, list_.available(to), list_.available(from)),
            std::tuple("Away", false, true));
    }
    window_.Hide();  // the tip goes with it
    options_.language = kEnglish;
}

// Dropped files are copied into the list, never moved: a source told "move" deletes them. So
// the answer is copy even when the source offers move too, or Shift asks for it.
TEST(FileDrop, AnsweredCopyNeverMove) {
    const std::string path = SystemProgram(L"notepad.exe");
    const HGLOBAL list = ::GlobalAlloc(GHND, sizeof(DROPFILES) + path.size() + 2);
    auto* files = static_cast<DROPFILES*>(::GlobalLock(list));
    files->pFiles = sizeof(DROPFILES);
    path.copy(reinterpret_cast<char*>(files + 1), path.size());  // ANSI, ended by the zeroes
    ::GlobalUnlock(list);
    ComPtr<IDataObject> data;  // as Explorer's drag offers it: CF_HDROP in a global
    ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)) && ::OpenClipboard(nullptr) &&
                ::EmptyClipboard() && ::SetClipboardData(CF_HDROP, list) && ::CloseClipboard() &&
                ::OleGetClipboard(data.put()) == S_OK);
    std::vector<std::string> dropped;
    FileDropTarget target([&](const auto& paths) { dropped.push_back(paths.at(0)); });
    constexpr DWORD kCopy = DROPEFFECT_COPY;
    for (const DWORD offered : {kCopy, kCopy | DROPEFFECT_MOVE, kCopy | DROPEFFECT_MOVE | 4}) {
        for (const DWORD keys : {MK_LBUTTON, MK_LBUTTON | MK_SHIFT}) {
            DWORD enter = offered, over = offered, drop = offered;
            target.DragEnter(data.get(), keys, {5, 5}, &enter);
            target.DragOver(keys, {6, 6}, &over);
            target.Drop(data.get(), keys, {6, 6}, &drop);
            EXPECT_EQ(std::tuple(enter, over, drop), std::tuple(kCopy, kCopy, kCopy)) << keys;
        }
    }
    EXPECT_EQ(dropped, std::vector<std::string>(6, path));
}

// A screen reader finds a name for every control, in every language; Tab reaches every one
// that acts, in the order the window reads.
TEST_F(ConfigWindow, EveryControlIsNamedAndTabReachesEachInTurn) {
    for (const int language : {kEnglish, kGerman, kFrench, kSpanish}) {
        options_.language = language;
        window_.ApplyLanguage();
        for (HWND c = ::GetWindow(window_.hwnd(), GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
            ComPtr<IAccessible> object;
            BSTR name = nullptr;
            VARIANT self{};
            self.vt = VT_I4;  // CHILDID_SELF
            EXPECT_TRUE(::AccessibleObjectFromWindow(c, DWORD(OBJID_CLIENT), __uuidof(IAccessible),
                                                     object.put_void()) == S_OK &&
                        object->get_accName(self, &name) == S_OK && ::SysStringLen(name) > 0)
                << ::GetDlgCtrlID(c) << " " << WindowText(c) << " in " << language;
            ::SysFreeString(name);
        }
    }
    std::vector<HWND> order{window_.Control("chkOption", 0)};
    while (order.size() < 20 && (order.size() == 1 || order.back() != order.front()))
        order.push_back(::GetNextDlgTabItem(window_.hwnd(), order.back(), FALSE));
    const auto c = [&](const char* name, int index = -1) { return window_.Control(name, index); };
    // One stop for the option buttons, the one chosen: arrows move between them.
    EXPECT_EQ(order, (std::vector{c("chkOption", 0), c("chkOption", 1), c("optOption", 1),
                                  c("chkOption", 2), c("lvwMenu"), c("cmdButton", 2),
                                  c("cmdButton", 3), c("cmdButton", 0), c("cmdButton", 1),
                                  c("lblURL", 1), c("chkOption", 0)}));
}

// The lists take the palette, switched while open: light rows of today's colours, or dark
// rows with light text.
TEST_F(ConfigWindow, ListsFollowThePalette) {
    TestPopup p({{"A", "C:\\a.exe"}});
    ASSERT_TRUE(p.loaded);
    SystemLook look = ReadSystemLook(ThemeChoice::System);
    for (const bool dark : {true, false}) {
        look.appsUseLightTheme = !dark;
        window_.SetPalette(ChoosePalette(look));
        p.popup.SetPalette(ChoosePalette(look));
        for (const HWND shown : {window_.Control("lvwMenu"), p.popup.list()}) {
            const COLORREF back = ListView_GetBkColor(shown), text = ListView_GetTextColor(shown);
            EXPECT_TRUE(dark ? ContrastRatio(back, 0) < 1.5 && ContrastRatio(back, text) >= 4.5
                             : back == ::GetSysColor(COLOR_WINDOW) &&
                                   text == ::GetSysColor(COLOR_WINDOWTEXT));
        }
    }
}

// The child: the real program, its entries' pictures stuck on a dead share.
void RunProgram() {
    ScratchKey key;
    SettingsPlace place(key.name);
    App app({place, FileExists, [](const std::string& target, int dpi) {
                 Trace("pictures: stuck");
                 return StuckPictures(target, dpi);
             }});
    ASSERT_TRUE(app.Main());
    ReinstallHooks();
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(HookReinstallCount(), 1);
}

TEST(App, WindowCloseEndsTheProgramAtOnceWhateverHangs) {
    if (::GetEnvironmentVariableW(L"JUMPNEST_TEST_CHILD", nullptr, 0)) return RunProgram();
    // The child runs as this program: data folder and window class are its own.
    const std::string data =
        DataFolderPath(GetSpecialFolder(kFolderCommonAppData), ExecutableName(), "");
    const std::string trace = data + "trace.txt", me = ExecutablePath();
    RemoveTree(data);
    ASSERT_TRUE(CreatePath(data));
    ASSERT_TRUE(WriteFileBytes(EntryFilePath(data, ExecutableName(), CurrentUserName()),
                               "A\t" + me + "\r\nB\t" + SystemProgram(L"notepad.exe") + "\r\nC\t" +
                                   SystemProgram(L"rundll32.exe") + "\r\n"));
    ::SetEnvironmentVariableW(L"JUMPNEST_TRACE", Widen(trace).c_str());
    ::SetEnvironmentVariableW(L"JUMPNEST_TEST_CHILD", L"1");
    const std::wstring exe = Widen(me), quoted = L"\"" + exe + L"\"";  // spawn does not quote
    const UniqueHandle process(reinterpret_cast<HANDLE>(
        ::_wspawnl(_P_NOWAIT, exe.c_str(), quoted.c_str(), L"--gtest_filter=App.*", nullptr)));
    ASSERT_TRUE(process);
    const std::shared_ptr<void> cleanup(nullptr, [&](void*) {
        ::TerminateProcess(process.get(), 1);
        ::WaitForSingleObject(process.get(), 5000);
        ScratchKey(::GetProcessId(process.get())).Clear();
        RemoveTree(data);
    });
    ASSERT_TRUE(PumpUntil([&] {  // up once its hooks are installed anew and its pictures stuck
        const std::string traced = ReadFileBytes(trace);
        return traced.find("hooks installed again") != traced.npos &&
               traced.find("pictures: stuck") != traced.npos;
    }));
    const HWND window =
        ::FindWindowW(Widen(InstanceWindowClass(ExecutableName())).c_str(), L"kqrJumpnest");
    // What a second start asks reaches it: its configuration window comes forward.
    ASSERT_TRUE(BringRunningInstanceForward(ExecutableName()));
    EXPECT_TRUE(
        PumpUntil([] { return ::IsWindowVisible(::FindWindowW(L"kqrJumpnestConfig", 0)); }));
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(::WaitForSingleObject(process.get(), 1000), WAIT_OBJECT_0) << ReadFileBytes(trace);
    DWORD code = 1;
    EXPECT_TRUE(::GetExitCodeProcess(process.get(), &code) && code == 0) << code;
}

TEST(Hooks, InputNeverWaitsForTheWindowsThread) {
    const MessageWindow target;
    SetHookTarget(target.hwnd);
    InstallKeyboardHook();
    InstallMouseHook(kActiveMouseHookMode);
    const auto move = [] {  // how long SendInput took
        INPUT input{INPUT_MOUSE, {{1, 0, 0, MOUSEEVENTF_MOVE, 0, 0}}};
        const ULONGLONG start = ::GetTickCount64();
        ::SendInput(1, &input, sizeof input);
        return ::GetTickCount64() - start;
    };
    const std::uint32_t installed = LastHookEventTick();
    ASSERT_TRUE(PumpUntil([&] { return move(), LastHookEventTick() != installed; }, 5000));
    std::vector<ULONGLONG> took;
    std::thread mover([&] {
        for (int i = 0; i < 5; ++i, ::Sleep(100)) took.push_back(move());
    });
    ::Sleep(1000);  // this thread busy, pumping nothing
    mover.join();
    // Wine waits two seconds for a hook whose thread does not answer.
    for (const ULONGLONG ms : took) EXPECT_LT(ms, 500u) << "SendInput waited for the hooks";
    EXPECT_TRUE(RemoveHooks(1000));
}

// The gesture is answered at once while the window's thread is busy: posted to it, never sent.
TEST(Hooks, TheTriggerIsPostedWhileTheWindowIsBusy) {
    const MessageWindow target;  // of this thread, which pumps nothing until the hook answered
    SetHookTarget(target.hwnd);
    InstallMouseHook(kActiveMouseHookMode);
    ASSERT_TRUE(RemoveHooks(1000));       // the mode stays; the callbacks are called by hand
    ::keybd_event(VK_LCONTROL, 0, 0, 0);  // Windows holds left Ctrl, as the hook asks it
    const std::shared_ptr<void> up(nullptr, [](void*) { ::keybd_event(VK_LCONTROL, 0, 2, 0); });
    ASSERT_TRUE(PumpUntil([] { return ::GetAsyncKeyState(VK_LCONTROL) < 0; }, 2000));
    const UniqueHandle answered(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread hooks([&] {
        KBDLLHOOKSTRUCT key{VK_LCONTROL, 0x1D, 0, 0, 0};
        KeyboardHookProc(HC_ACTION, WM_KEYDOWN, reinterpret_cast<LPARAM>(&key));
        MSLLHOOKSTRUCT mouse{{123, -45}, 0, 0, 0, 0};
        for (const WPARAM button : {WM_RBUTTONDOWN, WM_RBUTTONUP})
            EXPECT_EQ(MouseHookProc(HC_ACTION, button, reinterpret_cast<LPARAM>(&mouse)), 1);
        ::SetEvent(answered.get());
    });
    EXPECT_EQ(::WaitForSingleObject(answered.get(), 1000), WAIT_OBJECT_0) << "the hook waited";
    MSG got{};  // a sent message is handled inside the peek and never seen here
    EXPECT_TRUE(PumpUntil([&] { return got.message == kTriggerMessage; }, 3000,
                          [&](const MSG& m) { got = m.hwnd == target.hwnd ? m : got; }));
    hooks.join();
    EXPECT_EQ(std::pair(int(got.wParam), int(got.lParam)), std::pair(123, -45));
}

// Closed from outside, the popup hides; destroyed, it is made again whole as App does.
TEST(Popup, SurvivesBeingClosedOrDestroyedFromOutside) {
    TestPopup p({{"A", "C:\\a.exe"}, {"B", "C:\\b.exe"}});
    MenuWindow& popup = p.popup;
    for (const UINT close : {WM_CLOSE, WM_SYSCOMMAND, WM_DESTROY, WM_CLOSE}) {
        ASSERT_TRUE(popup.hwnd() || popup.Load(p.list, p.options, {}));
        p.Open();
        EXPECT_TRUE(popup.IsOpen() && ::GetParent(popup.list()) == popup.hwnd()) << close;
        EXPECT_EQ(ListView_GetItemCount(popup.list()), 2);
        close == WM_DESTROY ? ::DestroyWindow(popup.hwnd())  // something outside
                            : ::SendMessageW(popup.hwnd(), close, SC_CLOSE, 0);
        EXPECT_TRUE(!popup.IsOpen() && (close == WM_DESTROY || ::IsWindow(popup.hwnd()))) << close;
    }
}

// Pointed at, a row takes the focus a screen reader names; typing names the popup anew with
// what it shows, and a screen reader hears of it.
TEST(Popup, TheRowPointedAtHasTheFocusAndTypingNamesThePopup) {
    TestPopup p({{"Alpha", "C:\\a.exe"}, {"Beta", "C:\\b.exe"}});
    ASSERT_TRUE(p.loaded);
    p.Open();
    static std::set<std::tuple<DWORD, HWND, LONG>> events;  // event, window, child
    const Unique<HWINEVENTHOOK, NullTraits<HWINEVENTHOOK, ::UnhookWinEvent>> hook(::SetWinEventHook(
        EVENT_OBJECT_FOCUS, EVENT_OBJECT_NAMECHANGE, nullptr,
        [](HWINEVENTHOOK, DWORD event, HWND window, LONG, LONG child, DWORD, DWORD) {
            events.insert({event, window, child});
        },
        ::GetCurrentProcessId(), ::GetCurrentThreadId(), WINEVENT_OUTOFCONTEXT));
    const auto heard = [](DWORD event, HWND window, LONG child) {
        return PumpUntil([&] { return events.contains({event, window, child}); }, 2000);
    };
    ::SendMessageW(p.popup.list(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(heard(EVENT_OBJECT_FOCUS, p.popup.list(), 1));
    ::SendMessageW(p.popup.list(), WM_CHAR, L'b', 0);
    EXPECT_TRUE(heard(EVENT_OBJECT_NAMECHANGE, p.popup.hwnd(), CHILDID_SELF));
    EXPECT_EQ(WindowText(p.popup.hwnd()), "Jumpnest menu, b: 1 of 2");
}

// A held shortcut is shown as held, one that types a character says which and where; a plain
// key typed gets the first of Ctrl+Alt, Ctrl+Shift+Alt that types nothing.
TEST(Exclusions, FollowsItsMonitorsScaleAndTakesNoPlainKey) {
    const Unique<HWND, NullTraits<HWND, ::DestroyWindow>> owner(::CreateWindowExW(
        0, WC_STATICW, L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 500, 0, 0, 0, 0));
    ExclusionsWindow dialog;
    dialog.SetLayoutSource([] {  // AltGr+Q types @ on a German keyboard; Wine cannot tell
        return std::vector<KeyboardLayout>{
            {"German", [](const Hotkey& key) {
                 return key.virtualKey == 'Q' && key.modifiers == 0x4003 ? "@" : "";
             }}};
    });
    ASSERT_TRUE(dialog.Open(owner.get(), {{}, true, 0x641, true, {}}, kEnglish, {}));
    const HWND list = ::FindWindowExW(dialog.hwnd(), 0, WC_LISTVIEWW, 0),
               box = ::FindWindowExW(dialog.hwnd(), 0, HOTKEY_CLASSW, 0),
               held = ::FindWindowExW(dialog.hwnd(), 0, WC_STATICW,
                                      Widen(HotkeyTakenMessage(kEnglish)).c_str());
    EXPECT_TRUE(::SendMessageW(box, HKM_GETHOTKEY, 0, 0) == 0x641 && ::IsWindowVisible(held));
    const int start = DpiOf(owner.get()), column = ListView_GetColumnWidth(list, 0);
    for (const int dpi : {144, start}) {
        RECT size{};
        EXPECT_TRUE(MovedToScale(dialog.hwnd(), dpi, 370, 330) && ::GetWindowRect(box, &size))
            << dpi;
        EXPECT_EQ(size.right - size.left, 3900 * dpi / 1440) << dpi;  // its width in twips
        EXPECT_NEAR(ListView_GetColumnWidth(list, 0) * 96.0 / dpi, column * 96.0 / start, 3);
    }
    for (const auto& [key, made] : {std::pair{'B', 0x642}, std::pair{'Q', 0x751}}) {
        ::SendMessageW(box, WM_KEYDOWN, key, 0);
        EXPECT_TRUE(::SendMessageW(box, HKM_GETHOTKEY, 0, 0) == made && !::IsWindowVisible(held));
        ::SendMessageW(box, WM_KEYUP, key, 0);
    }
    dialog.Close();
    ASSERT_TRUE(dialog.Open(owner.get(), {{}, true, 0x651, true, {}}, kEnglish, {}));
    EXPECT_TRUE(::IsWindowVisible(
        ::FindWindowExW(dialog.hwnd(), 0, WC_STATICW,
                        Widen(HotkeyTypesCharacterMessage(kEnglish, "@", "German")).c_str())));
}

// Each installed layout is asked with the shortcut's modifiers held. Wine gives only the
// locale's layout (LoadKeyboardLayoutW answers it for any other), answers no Ctrl+Alt and keeps
// no dead key pending, so what AltGr types is tested with a table of answers.
TEST(Exclusions, EachInstalledLayoutIsAskedWithTheModifiersHeld) {
    for (const wchar_t* id : {L"00000407", L"0000040C", L"0000040A", L"00000415"})
        ::LoadKeyboardLayoutW(id, 0);
    std::vector<HKL> installed(static_cast<size_t>(::GetKeyboardLayoutList(0, nullptr)));
    ::GetKeyboardLayoutList(static_cast<int>(installed.size()), installed.data());
    const std::vector<KeyboardLayout> layouts = InstalledKeyboardLayouts();
    ASSERT_EQ(layouts.size(), installed.size());
    for (const KeyboardLayout& layout : layouts) {  // named, not by a number such as 00000409
        EXPECT_NE(layout.name.find_first_not_of("0123456789ABCDEF"), std::string::npos);
        const std::tuple answers(layout.typed({'Q', MOD_SHIFT}), layout.typed({'Q', MOD_CONTROL}));
        EXPECT_EQ(answers, std::tuple("Q", "\x11")) << layout.name;
    }
    EXPECT_EQ(CharacterTypedBy({'Q', MOD_SHIFT}, layouts), (TypedCharacter{"Q", layouts[0].name}));
}

}  // namespace jumpnest::test
