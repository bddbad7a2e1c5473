// The hidden top-level window titled "kqrJumpnest" that the program keeps for
// its whole run: a second start finds it and asks it to come forward, and as a
// top-level window it receives the session's broadcasts.
#pragma once

#include <functional>
#include <string_view>

#include "core/window_win.h"

namespace jumpnest {

class AppWindow final : public Window {
public:
    AppWindow() = default;
    ~AppWindow() override = default;

    bool Create(std::string_view exeName);

    // Called when a second start of the program asks this one to come forward.
    std::function<void()> onComeForward;
    // Called for the messages the input hooks post: a trigger at a screen
    // point, a middle click for Explorer.
    std::function<void(int x, int y)> onTrigger;
    std::function<void()> onExplore;
    // Called every `intervalMs` once StartWatchdog ran.
    std::function<void()> onWatchdog;
    void StartWatchdog(unsigned intervalMs);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace jumpnest
