// The hidden top-level window titled "kqrJumpnest" that the program keeps for
// its whole run: a second start finds it and asks it to come forward; the
// input hooks, the icon loader and the notification-area icon send to it; and
// as a top-level window it receives the session's broadcasts.
#pragma once

#include <string_view>

#include "core/window_win.h"

namespace jumpnest {

// What the window hands on, on the user-interface thread.
class AppEvents {
public:
    virtual void OnComeForward() = 0;
    virtual void OnTrigger(int x, int y) = 0;
    virtual void OnHotkey() = 0;
    virtual void OnExplore() = 0;
    virtual void OnWatchdog() = 0;
    virtual void OnTray(UINT mouseMessage) = 0;
    virtual void OnTaskbarCreated() = 0;
    // `list` tags whose pictures they are: 0 the common list's, else a
    // program's list.
    virtual void OnPictures(WPARAM list, LPARAM pictures) = 0;
    virtual void OnSessionEnd() = 0;
    virtual void OnClose() = 0;
    virtual void OnDeviceArrival() = 0;
    virtual void OnThemeChange() = 0;

protected:
    ~AppEvents() = default;
};

class AppWindow final : public Window {
public:
    explicit AppWindow(AppEvents& events) : events_(events) {}
    ~AppWindow() override { Destroy(); }

    bool Create(std::string_view exeName);
    void StartWatchdog(unsigned intervalMs);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    AppEvents& events_;
};

}  // namespace jumpnest
