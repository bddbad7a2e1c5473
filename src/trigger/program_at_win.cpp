#include "trigger/program_at_win.h"

#include <iterator>

#include "core/encoding_win.h"
#include "core/handle_win.h"
#include "core/paths.h"

namespace jumpnest {

namespace {

// The last program asked about: the gestures of a while mostly go over one
// program, and a process keeps its file for life. The handle tells when it
// has ended and its number may name another.
struct LastProgram {
    DWORD process = 0;
    UniqueHandle handle;
    std::string name;
};

std::string ProgramOwning(HWND window) {
    static LastProgram last;
    DWORD process = 0;
    if (!window || !::GetWindowThreadProcessId(::GetAncestor(window, GA_ROOT), &process)) {
        return {};
    }
    if (process == last.process && last.handle &&
        ::WaitForSingleObject(last.handle.get(), 0) == WAIT_TIMEOUT) {
        return last.name;
    }
    UniqueHandle handle(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, process));
    wchar_t path[4096];
    DWORD size = static_cast<DWORD>(std::size(path));
    if (!handle || !::QueryFullProcessImageNameW(handle.get(), 0, path, &size)) return {};
    last = {process, std::move(handle), GetFileName(Narrow(std::wstring_view(path, size)), true)};
    return last.name;
}

}  // namespace

std::string ProgramAt(POINT point) {
    return ProgramOwning(::WindowFromPoint(point));
}

std::string ProgramInFront() {
    return ProgramOwning(::GetForegroundWindow());
}

}  // namespace jumpnest
