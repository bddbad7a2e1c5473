#include "core/encoding_win.h"

#include <windows.h>

#include <climits>
#include <cstdio>

namespace jumpnest {

std::wstring Widen(std::string_view utf8) {
    if (utf8.empty() || utf8.size() > INT_MAX) return {};
    const int size = static_cast<int>(utf8.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring result(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, result.data(), length);
    return result;
}

std::string Narrow(std::wstring_view utf16) {
    if (utf16.empty() || utf16.size() > INT_MAX) return {};
    const int size = static_cast<int>(utf16.size());
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string result(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, result.data(), length, nullptr, nullptr);
    return result;
}

std::string FromAnsi(std::string_view ansi) {
    if (ansi.empty() || ansi.size() > INT_MAX) return {};
    const int size = static_cast<int>(ansi.size());
    const int length = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), length);
    return Narrow(wide);
}

std::optional<std::string> ToAnsiExactly(std::string_view utf8) {
    if (utf8.empty()) return std::string();
    const std::wstring wide = Widen(utf8);
    // Widen replaces what is not UTF-8 with U+FFFD: that text is lost already.
    if (wide.empty() || wide.size() > INT_MAX || Narrow(wide) != utf8) return std::nullopt;
    // With the "UTF-8 for worldwide language support" option the ANSI code
    // page is UTF-8 itself, for which the default-character test is refused.
    if (::GetACP() == CP_UTF8) return std::string(utf8);
    const int size = static_cast<int>(wide.size());
    BOOL usedDefault = FALSE;
    const int length = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size,
                                             nullptr, 0, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) return std::nullopt;
    std::string ansi(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, ansi.data(), length,
                          nullptr, &usedDefault);
    // Some code pages map a character without a flag (a combining sequence
    // folded, a lead byte alone): only what reads back the same is exact.
    if (usedDefault || FromAnsi(ansi) != utf8) return std::nullopt;
    return ansi;
}

unsigned long LastErrorOr(unsigned long fallback) {
    const DWORD error = ::GetLastError();
    return error ? error : fallback;
}

std::string SystemErrorText(unsigned long error) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    std::string reason = length ? Narrow(std::wstring_view(text, length)) : std::string();
    ::LocalFree(text);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
    if (reason.empty()) {
        char code[24] = {};
        std::snprintf(code, sizeof code, error & 0x80000000UL ? "Error 0x%08lX" : "Error %lu",
                      error);
        reason = code;
    }
    return reason;
}

}  // namespace jumpnest
