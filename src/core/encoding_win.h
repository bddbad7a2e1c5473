// The one place where the program's UTF-8 text meets Windows' UTF-16.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace jumpnest {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

// The system's words for an error code (a Win32 error or an HRESULT), in
// the user's language, without the line break they end with; "Error N" (in
// hexadecimal for an HRESULT) when the system has none.
std::string SystemErrorText(unsigned long error);

// The thread's last error, or `fallback` when a call failed without setting
// one: a failure without a reason is still a failure.
unsigned long LastErrorOr(unsigned long fallback);

// ANSI code page bytes as UTF-8.
std::string FromAnsi(std::string_view ansi);

// UTF-8 text in the ANSI code page, or nothing when a character has no exact
// place there: no look-alike ("best fit") and no default character is ever
// taken in its stead.
std::optional<std::string> ToAnsiExactly(std::string_view utf8);

}  // namespace jumpnest
