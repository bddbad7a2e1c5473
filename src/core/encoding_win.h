// The one place where the program's UTF-8 text meets Windows' UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace jumpnest {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// ANSI code page bytes as UTF-8.
std::string FromAnsi(std::string_view ansi);

}  // namespace jumpnest
