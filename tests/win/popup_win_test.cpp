// The open popup's keyboard: keys as a Polish keyboard sends them, and a foreground program
// that hangs.
#include "support_win.h"

namespace jumpnest::test {

inline std::string ClipboardText() {
    std::string text = "<none>";
    if (!::OpenClipboard(nullptr)) return text;
    if (const HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        text = Narrow(static_cast<const wchar_t*>(::GlobalLock(data)));
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    return text;
}

// AltGr+C (Ctrl, Alt and right Alt held) types "ć" into the filter and leaves the clipboard
// alone; a plain "c" filters; only Ctrl+C copies the entry's path.
TEST(PopupInput, AltGrAndPlainLettersFilterAndOnlyCtrlCCopies) {
    EntryList list(StuckPictures);
    list.Replace({{"Ćma", "C:\\cma.exe"}, {"Beta", "C:\\b.exe"}});
    Options options;
    MenuWindow popup;
    ASSERT_TRUE(popup.Load(list, options, {}));
    const std::tuple<std::vector<BYTE>, wchar_t, const char*, const char*> kCases[] = {
        {{VK_CONTROL, VK_LCONTROL, VK_MENU, VK_RMENU}, L'ć', "kept", "Jumpnest menu, ć: 1 of 2"},
        {{}, L'c', "kept", "Jumpnest menu, c: 1 of 2"},
        {{VK_CONTROL, VK_LCONTROL}, L'\x03', "C:\\cma.exe", "Jumpnest menu"}};
    for (const auto& [held, character, clipboard, name] : kCases) {
        ASSERT_TRUE(CopyToClipboard(popup.hwnd(), "kept"));
        popup.Open(MonitorAt({200, 200}), {3000, 3000});
        ::SendMessageW(popup.list(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));  // the first row
        BYTE keys[256] = {};
        for (const BYTE key : held) keys[key] = 0x80;
        ::SetKeyboardState(keys);
        // What Windows sends for the key: its press, then the character it types.
        ::SendMessageW(popup.list(), WM_KEYDOWN, 'C', 1);
        ::SendMessageW(popup.list(), WM_CHAR, character, 1);
        const BYTE none[256] = {};
        ::SetKeyboardState(const_cast<BYTE*>(none));
        EXPECT_EQ(ClipboardText(), clipboard) << name;
        EXPECT_EQ(WindowText(popup.hwnd()), name);
        popup.Close();
    }
}

// The window in front stops answering (the moment a user reaches for a launcher): the popup
// opens and this thread comes back while that one still hangs; the foreground is borrowed
// from that thread only once it answers again.
TEST(PopupInput, OpensWhileTheForegroundProgramHangs) {
    EntryList list(StuckPictures);
    list.Replace({{"A", "C:\\a.exe"}});
    Options options;
    MenuWindow popup;
    ASSERT_TRUE(popup.Load(list, options, {}));
    const UniqueHandle ready(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
        release(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::atomic<bool> woke = false, done = false;
    HWND front = nullptr;
    std::thread hung([&] {
        front = ::CreateWindowExW(0, WC_STATICW, L"hung", WS_POPUP | WS_VISIBLE, 0, 0, 99, 99, 0, 0,
                                  0, 0);
        ::SetForegroundWindow(front);
        ::SetEvent(ready.get());
        ::WaitForSingleObject(release.get(), 10000);  // hung, but never past the test's end
        woke = true;
        PumpUntil([&] { return done.load(); });
        ::DestroyWindow(front);
    });
    const std::shared_ptr<void> end(nullptr, [&](void*) {
        ::SetEvent(release.get());
        done = true;
        hung.join();
    });
    ASSERT_EQ(::WaitForSingleObject(ready.get(), 5000), WAIT_OBJECT_0);
    ASSERT_EQ(::GetForegroundWindow(), front);
    const ULONGLONG start = ::GetTickCount64();
    EXPECT_FALSE(BorrowForeground(popup.hwnd()));
    popup.Open(MonitorAt({200, 200}), {3000, 3000});
    std::printf("opened in %llu ms with the foreground hung\n", ::GetTickCount64() - start);
    EXPECT_FALSE(woke) << "waited for the hung thread";
    EXPECT_TRUE(popup.IsOpen() && ::GetForegroundWindow() == popup.hwnd());
    ::SetEvent(release.get());
    ::SetForegroundWindow(front);
    ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == front; }, 5000));
    EXPECT_TRUE(BorrowForeground(popup.hwnd()) && ::GetForegroundWindow() == popup.hwnd());
}

}  // namespace jumpnest::test
