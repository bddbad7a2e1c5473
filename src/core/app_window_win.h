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

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace jumpnest
