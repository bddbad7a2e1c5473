// The one place where the program's UTF-8 text meets Windows' UTF-16.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace jumpnest {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// ANSI code page bytes as UTF-8.
std::string FromAnsi(std::string_view ansi);

// UTF-8 text in the ANSI code page, or nothing when a character has no exact
// place there: no look-alike ("best fit") and no default character is ever
// taken in its stead.
std::optional<std::string> ToAnsiExactly(std::string_view utf8);

}  // namespace jumpnest
