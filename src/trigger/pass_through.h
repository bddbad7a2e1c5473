// Where the gestures stand aside: over the windows of programs the user
// listed (a remote desktop, a virtual machine, which want the right click
// themselves), and on the monitor where a full-screen program or a
// presentation is in front. The hooks ask at each press; what decides is here.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace jumpnest {

// The options as the hooks read them: one immutable snapshot per change.
struct PassThroughOptions {
    std::vector<std::string> programs;  // file names, ASCII letters in lower case
    bool fullScreen = false;
    bool operator==(const PassThroughOptions&) const = default;
};

// The stored "ExcludedPrograms" text: names separated by semicolons, blanks
// and double quotes around each ignored, and a path taken for its file name
// ("C:\Windows\System32\mstsc.exe" is "mstsc.exe"). Empty names are dropped.
std::vector<std::string> ParseProgramList(std::string_view text);

// The part of a Windows path after its last backslash or slash.
std::string_view FileNameOf(std::string_view path);

// Whether a program's file name is in the parsed list. Only ASCII letters are
// compared without case; a name with other letters in another case does not
// match, which costs a listed name a miss rather than anybody a wrong match.
bool IsListedProgram(const std::vector<std::string>& programs, std::string_view fileName);

struct WindowBox {
    int left, top, right, bottom;  // screen pixels
    bool operator==(const WindowBox&) const = default;
};

// Whether the foreground window is a full-screen program: it covers the
// whole of its monitor and has no caption. A maximised window overhangs its
// monitor by its frame and covers it whole when the taskbar hides itself; its
// caption tells it apart.
bool IsFullScreenWindow(const WindowBox& window, const WindowBox& monitor, bool captioned);

// The foreground window as the full-screen rule sees it.
struct FrontWindow {
    WindowBox window;
    WindowBox monitor;  // of the monitor it is on
    bool captioned;
    bool desktop;  // the desktop or the window that holds its icons
};

// Whether a press on the monitor `mouseMonitor` stands aside for a full-screen
// program: the front window is one, or the shell says a game or a
// presentation has the screen (`shellFullScreen`), and either way only on the
// front window's own monitor. A game on one monitor leaves the gestures on
// the others alone. Monitors never overlap, so their rectangles tell them
// apart.
bool FullScreenUnderMouse(const FrontWindow& front, const WindowBox& mouseMonitor,
                          bool shellFullScreen);

// A value that one thread replaces while another reads it without a lock.
// Each value is immutable once published; a replaced one is kept until the
// holder goes, since a reader may still be inside it. Values change a handful
// of times in a run, so keeping them costs nothing worth freeing.
template <typename T>
class Published {
public:
    Published() { Publish(T{}); }
    // The writer's thread only. False, and nothing kept, when it is unchanged.
    bool Publish(T value) {
        if (!kept_.empty() && *kept_.back() == value) return false;
        kept_.push_back(std::make_unique<const T>(std::move(value)));
        current_.store(kept_.back().get(), std::memory_order_release);
        return true;
    }
    // Any thread: never null, valid while the holder lives.
    const T& Current() const { return *current_.load(std::memory_order_acquire); }

private:
    std::vector<std::unique_ptr<const T>> kept_;
    std::atomic<const T*> current_{nullptr};
};

}  // namespace jumpnest
