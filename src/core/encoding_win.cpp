#include "core/encoding_win.h"

#include <windows.h>

#include <climits>

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

std::optional<std::string> ToAnsi(std::string_view utf8) {
    if (utf8.empty()) return std::string();
    const std::wstring wide = Widen(utf8);
    if (wide.empty() || wide.size() > INT_MAX) return std::nullopt;
    const int size = static_cast<int>(wide.size());
    // With UTF-8 as the ANSI code page (a Windows 10 option) the two flags
    // below are refused; the round trip at the end still decides.
    const bool utf8Ansi = ::GetACP() == CP_UTF8;
    const DWORD flags = utf8Ansi ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = utf8Ansi ? nullptr : &usedDefault;
    const int length = ::WideCharToMultiByte(CP_ACP, flags, wide.data(), size, nullptr, 0, nullptr,
                                             usedDefaultOut);
    if (length <= 0 || usedDefault) return std::nullopt;
    std::string ansi(static_cast<size_t>(length), '\0');
    if (::WideCharToMultiByte(CP_ACP, flags, wide.data(), size, ansi.data(), length, nullptr,
                              usedDefaultOut) != length ||
        usedDefault) {
        return std::nullopt;
    }
    // The default-character flag does not see every loss (invalid UTF-8 turned
    // into U+FFFD, a lone surrogate); reading the bytes back does.
    if (FromAnsi(ansi) != utf8) return std::nullopt;
    return ansi;
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

}  // namespace jumpnest
