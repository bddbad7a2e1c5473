// The open popup's keyboard: keys as a Polish keyboard sends them; a program in front that hangs;
// a program's own entries under their heading.
#include "support_win.h"

namespace jumpnest::test {

// AltGr+C (Ctrl, Alt and right Alt held) types "ć" into the filter and leaves the clipboard
// alone; only Ctrl+C copies the entry's path; a plain "c" filters.
TEST(PopupInput, AltGrAndPlainLettersFilterAndOnlyCtrlCCopies) {
    TestPopup p({{"Ćma", "C:\\cma.exe"}, {"Beta", "C:\\b.exe"}});
    ASSERT_TRUE(p.loaded);
    const std::tuple<std::vector<BYTE>, wchar_t, bool, const char*> kCases[] = {
        {{VK_CONTROL, VK_LCONTROL, VK_MENU, VK_RMENU}, L'ć', false, "Jumpnest menu, ć: 1 of 2"},
        {{VK_CONTROL, VK_LCONTROL}, L'\x03', true, "Jumpnest menu"},
        {{}, L'c', false, "Jumpnest menu, c: 1 of 2"}};  // last: no key is left held
    for (const auto& [held, character, copies, name] : kCases) {
        p.Open();
        ::SendMessageW(p.popup.list(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));  // the first row
        BYTE keys[256] = {};
        for (const BYTE key : held) keys[key] = 0x80;
        ::SetKeyboardState(keys);
        const DWORD clipboard = ::GetClipboardSequenceNumber();
        ::SendMessageW(p.popup.list(), WM_KEYDOWN, 'C', 1);
        ::SendMessageW(p.popup.list(), WM_CHAR, character, 1);  // what the key types there
        EXPECT_EQ(::GetClipboardSequenceNumber() != clipboard, copies) << name;
        EXPECT_EQ(WindowText(p.popup.hwnd()), name);
    }
}

// The window in front stops answering: the popup opens and this thread comes back while that
// one still hangs; its foreground is borrowed only once it answers again.
TEST(PopupInput, OpensWhileTheForegroundProgramHangs) {
    TestPopup p({{"A", "C:\\a.exe"}});
    ASSERT_TRUE(p.loaded);
    std::atomic<HWND> front = nullptr;
    std::atomic<bool> release = false, woke = false, done = false;
    std::thread hung([&] {  // its window ends with it
        front =
            ::CreateWindowExW(0, WC_STATICW, L"", WS_POPUP | WS_VISIBLE, 0, 0, 99, 99, 0, 0, 0, 0);
        ::SetForegroundWindow(front);
        for (int i = 0; i < 1000 && !release; ++i) ::Sleep(10);  // hung, at most 10 s
        woke = true;
        PumpUntil([&] { return done.load(); });
    });
    EXPECT_TRUE(PumpUntil([&] { return front && ::GetForegroundWindow() == front; }, 5000));
    EXPECT_FALSE(BorrowForeground(p.popup.hwnd()));
    p.Open();
    EXPECT_FALSE(woke) << "waited for the hung thread";
    EXPECT_TRUE(p.popup.IsOpen() && ::GetForegroundWindow() == p.popup.hwnd());
    release = true;
    ::SetForegroundWindow(front);
    EXPECT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == front; }, 5000));
    // Taken while joined; Wine leaves no foreground at all once the threads part again.
    EXPECT_TRUE(BorrowForeground(p.popup.hwnd()));
    done = true;
    hung.join();
}

std::vector<std::string> ProgramsStartedBy(const std::function<void()>& act);  // system_win_test

// A program's entries under its name, then the common ones: headings passed over by keys and
// mouse; typing finds rows of both; a screen reader hears each row's heading. Else as ever.
TEST(PopupSections, ProgramEntriesComeFirstUnderHeadingsThatAreNeverPicked) {
    EntryList own{StuckPictures}, empty{StuckPictures};  // they outlive the popup
    TestPopup p({{"Copy", "C:\\c.exe"}, {"Notes", "C:\\n.exe"}});
    own.Replace({{"Pad", SystemProgram(L"notepad.exe")}, {"Paint", "C:\\p.exe"}});
    ASSERT_TRUE(p.loaded);
    const HWND rows = p.popup.list();
    const auto shown = [&](std::string all = "") {
        for (int row = 0; row < ListView_GetItemCount(rows); ++row) {
            wchar_t text[99] = {};
            ListView_GetItemText(rows, row, 0, text, 99);
            all += Narrow(text) + "|";
        }
        return all;
    };
    const auto open = [&](const ProgramSection& s) { p.popup.Open(MonitorAt({9, 9}), {0, 0}, s); };
    for (const ProgramSection& none : {ProgramSection{}, {&empty, "calc.exe"}}) {
        open(none);
        EXPECT_EQ(shown(), "Copy|Notes|");
    }
    const std::string mine = "notepad.exe|Pad, in notepad.exe|Paint, in notepad.exe|All programs|";
    open({&own, "notepad.exe"});
    EXPECT_EQ(shown(), mine + "Copy, in All programs|Notes, in All programs|");
    ::SendMessageW(rows, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));  // over the first heading
    EXPECT_EQ(ListView_GetNextItem(rows, -1, LVNI_SELECTED), -1);
    const std::pair<WPARAM, int> kKeys[] = {{VK_UP, 1},  {VK_DOWN, 2}, {VK_DOWN, 4}, {VK_UP, 2},
                                            {VK_END, 5}, {VK_NEXT, 5}, {VK_HOME, 1}};
    for (const auto& [key, row] : kKeys) {
        ::SendMessageW(rows, WM_KEYDOWN, key, 0);
        EXPECT_EQ(ListView_GetNextItem(rows, -1, LVNI_SELECTED), row) << key;
    }
    // The move the system makes up for a resting mouse, where it rests: the keys' row stays.
    ::SendMessageW(rows, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(ListView_GetNextItem(rows, -1, LVNI_SELECTED), 1);
    EXPECT_EQ(ProgramsStartedBy([&] {
                  for (const UINT message : {WM_KEYDOWN, WM_KEYUP})
                      ::SendMessageW(rows, message, VK_RETURN, 0);
              }),
              std::vector{SystemProgram(L"notepad.exe")});
    open({&own, "notepad.exe"});
    ::SendMessageW(rows, WM_CHAR, L'p', 0);
    EXPECT_EQ(shown(), mine + "Copy, in All programs|");
    EXPECT_EQ(ListView_GetNextItem(rows, -1, LVNI_SELECTED), 1);
    EXPECT_EQ(WindowText(p.popup.hwnd()), "Jumpnest menu, p: 3 of 4");
}

}  // namespace jumpnest::test
