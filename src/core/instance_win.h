// One running instance per executable name and user.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "core/handle_win.h"

namespace jumpnest {

// Owns the named mutex whose existence marks the running instance.
class InstanceMutex {
public:
    explicit InstanceMutex(const std::string& name);
    // True when no other process held the mutex when it was opened.
    bool IsFirst() const { return first_; }

private:
    UniqueHandle mutex_;
    bool first_ = false;
};

// Claims the instance for the rest of the process's life; false when another
// process of this program already runs for this user.
bool ClaimInstance(std::string_view exeName, std::string_view userSid);

// Whether a process of this program runs for this user in this session,
// told by the mutex it keeps; nothing is claimed.
bool InstanceRunning(std::string_view exeName, std::string_view userSid);

// The message a second start posts to the running instance's window to ask
// it to come forward.
UINT ComeForwardMessage();

// Finds the running instance's window (it may still be starting, so this
// waits a moment for it), lets it take the foreground and asks it to come
// forward. False when no window answered.
bool BringRunningInstanceForward(std::string_view exeName);

}  // namespace jumpnest
