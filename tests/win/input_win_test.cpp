// What comes in from outside: the hooks' mouse events and files dropped from Explorer.
#include "core/messages_win.h"
#include "support_win.h"
#include "trigger/trigger_rules.h"
#include "ui/config/drop_target_win.h"

namespace jumpnest::test {
namespace {

// The hook's answer for the gesture's release comes at once while the window's thread is busy:
// the trigger is posted to it, never sent (the whole desktop's input would wait on that thread).
TEST(Hooks, TheTriggerIsPostedWhileTheWindowIsBusy) {
    const MessageWindow target;  // of this thread, which pumps nothing until the hook answered
    SetHookTarget(target.hwnd);
    InstallMouseHook(kActiveMouseHookMode);
    ASSERT_TRUE(RemoveHooks(1000));  // the mode stays; the callbacks are called by hand below
    INPUT ctrl[2] = {{INPUT_KEYBOARD, {}}, {INPUT_KEYBOARD, {}}};
    ctrl[0].ki.wVk = ctrl[1].ki.wVk = VK_LCONTROL;
    ctrl[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(1, ctrl, sizeof(INPUT));  // Windows holds left Ctrl, as the hook asks it
    const std::shared_ptr<void> release(nullptr,
                                        [&](void*) { ::SendInput(1, ctrl + 1, sizeof(INPUT)); });
    ASSERT_TRUE(PumpUntil([] { return ::GetAsyncKeyState(VK_LCONTROL) < 0; }, 2000));
    const UniqueHandle answered(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread hooks([&] {
        KBDLLHOOKSTRUCT key{VK_LCONTROL, 0x1D, 0, 0, 0};
        KeyboardHookProc(HC_ACTION, WM_KEYDOWN, reinterpret_cast<LPARAM>(&key));
        MSLLHOOKSTRUCT mouse{};
        mouse.pt = {123, -45};
        for (const WPARAM button : {WPARAM{WM_RBUTTONDOWN}, WPARAM{WM_RBUTTONUP}})
            EXPECT_EQ(MouseHookProc(HC_ACTION, button, reinterpret_cast<LPARAM>(&mouse)), 1);
        ::SetEvent(answered.get());
    });
    EXPECT_EQ(::WaitForSingleObject(answered.get(), 1000), WAIT_OBJECT_0) << "the hook waited";
    POINT got{};  // a sent message is handled inside the peek and never seen here
    EXPECT_TRUE(PumpUntil([&] { return got.x != 0; }, 3000,
                          [&](const MSG& m) {
                              if (m.hwnd == target.hwnd && m.message == kTriggerMessage)
                                  got = {static_cast<LONG>(m.wParam), static_cast<LONG>(m.lParam)};
                          }));
    hooks.join();
    EXPECT_EQ(std::pair(got.x, got.y), std::pair(123L, -45L));
}

// Files dropped are copied into the list, never moved: a source told "move" deletes them. So
// the answer is copy even when the source offers move too, or Shift asks for it.
TEST(FileDrop, AnsweredCopyNeverMove) {
    ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
    const std::wstring path = L"C:\\windows\\notepad.exe";
    const HGLOBAL list = ::GlobalAlloc(GHND, sizeof(DROPFILES) + (path.size() + 2) * 2);
    auto* files = static_cast<DROPFILES*>(::GlobalLock(list));
    std::tie(files->pFiles, files->fWide) = std::tuple(sizeof(DROPFILES), TRUE);
    std::wcscpy(reinterpret_cast<wchar_t*>(files + 1), path.c_str());
    ::GlobalUnlock(list);
    ASSERT_TRUE(::OpenClipboard(nullptr) && ::EmptyClipboard() &&
                ::SetClipboardData(CF_HDROP, list) && ::CloseClipboard());
    ComPtr<IDataObject> data;  // what Explorer's drag offers: CF_HDROP in a global
    ASSERT_EQ(::OleGetClipboard(data.put()), S_OK);
    std::vector<std::string> dropped;
    FileDropTarget target(
        [&](const auto& paths) { dropped.insert(dropped.end(), paths.begin(), paths.end()); });
    constexpr DWORD kCopy = DROPEFFECT_COPY;
    for (const DWORD offered :
         {kCopy, kCopy | DROPEFFECT_MOVE, kCopy | DROPEFFECT_MOVE | DROPEFFECT_LINK}) {
        for (const DWORD keys : {DWORD{MK_LBUTTON}, DWORD{MK_LBUTTON | MK_SHIFT}}) {
            DWORD enter = offered, over = offered, drop = offered;
            target.DragEnter(data.get(), keys, {5, 5}, &enter);
            target.DragOver(keys, {6, 6}, &over);
            target.Drop(data.get(), keys, {6, 6}, &drop);
            EXPECT_EQ(std::tuple(enter, over, drop), std::tuple(kCopy, kCopy, kCopy))
                << offered << keys;
        }
    }
    EXPECT_EQ(dropped, std::vector<std::string>(6, Narrow(path)));
    DWORD none = DROPEFFECT_COPY;  // nothing the list takes
    target.DragEnter(nullptr, MK_LBUTTON, {5, 5}, &none);
    EXPECT_EQ(none, DWORD{DROPEFFECT_NONE});
    data.reset();
    ::OleUninitialize();
}

}  // namespace
}  // namespace jumpnest::test
