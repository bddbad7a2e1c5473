// The one place where the program's UTF-8 text meets Windows' UTF-16.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace jumpnest {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// The text in the system's ANSI code page, or nothing when a character of it
// has no exact counterpart there (no look-alike substitutes, no "?").
std::optional<std::string> ToAnsi(std::string_view utf8);
// ANSI code page bytes as UTF-8.
std::string FromAnsi(std::string_view ansi);

}  // namespace jumpnest
