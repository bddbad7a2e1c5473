#include "core/trace_win.h"

#include <windows.h>

#include <string>

#include "core/handle_win.h"

namespace jumpnest {

namespace {

const std::wstring& TraceFile() {
    static const std::wstring file = [] {
        std::wstring name(MAX_PATH, L'\0');
        for (;;) {
            const DWORD length = ::GetEnvironmentVariableW(L"JUMPNEST_TRACE", name.data(),
                                                           static_cast<DWORD>(name.size()));
            if (length < name.size()) {
                name.resize(length);
                return name;
            }
            name.resize(length);
        }
    }();
    return file;
}

}  // namespace

bool TraceEnabled() {
    return !TraceFile().empty();
}

void Trace(std::string_view line) {
    // Callers trace a failure and then report its reason: the trace must not
    // change the last error (opening an existing file sets one).
    const DWORD reason = ::GetLastError();
    const std::wstring& file = TraceFile();
    if (file.empty()) {
        ::SetLastError(reason);
        return;
    }
    // Opened per line so that the file is complete whenever a test reads it,
    // even if the process is killed a moment later. One line at a time: the
    // hook thread traces too, and two appends at once can land on the same
    // spot (Wine finds the end of the file, then writes).
    static SRWLOCK lock = SRWLOCK_INIT;
    ::AcquireSRWLockExclusive(&lock);
    struct Release {
        ~Release() { ::ReleaseSRWLockExclusive(&lock); }
    } release;
    UniqueFile handle(::CreateFileW(file.c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) {
        ::SetLastError(reason);
        return;
    }
    std::string text(line);
    text += '\n';
    DWORD written = 0;
    ::WriteFile(handle.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    handle.reset();
    ::SetLastError(reason);
}

}  // namespace jumpnest
