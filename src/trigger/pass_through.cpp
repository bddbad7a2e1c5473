#include "trigger/pass_through.h"

#include "core/text.h"

namespace jumpnest {

namespace {

std::string_view Trim(std::string_view text, std::string_view what) {
    const size_t first = text.find_first_not_of(what);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(what) - first + 1);
}

}  // namespace

std::vector<std::string> ParseProgramList(std::string_view text) {
    std::vector<std::string> programs;
    while (!text.empty()) {
        const size_t end = text.find(';');
        // Blanks first, then quotes, then blanks inside them: ` "mstsc.exe" `.
        const std::string_view item = Trim(Trim(Trim(text.substr(0, end), " \t"), "\""), " \t");
        const std::string_view name = Trim(FileNameOf(item), " \t");
        if (!name.empty()) programs.push_back(AsciiLower(name));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return programs;
}

std::string_view FileNameOf(std::string_view path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool IsListedProgram(const std::vector<std::string>& programs, std::string_view fileName) {
    if (fileName.empty()) return false;
    for (const std::string& program : programs) {
        if (EqualsIgnoringAsciiCase(program, fileName)) return true;
    }
    return false;
}

bool IsFullScreenWindow(const WindowBox& window, const WindowBox& monitor, bool captioned) {
    return !captioned && window.left <= monitor.left && window.top <= monitor.top &&
           window.right >= monitor.right && window.bottom >= monitor.bottom;
}

bool FullScreenUnderMouse(const FrontWindow& front, const WindowBox& mouseMonitor,
                          bool shellFullScreen) {
    return front.monitor == mouseMonitor &&
           (shellFullScreen ||
            (!front.desktop && IsFullScreenWindow(front.window, front.monitor, front.captioned)));
}

}  // namespace jumpnest
