// Small text helpers on UTF-8 strings.
#pragma once

#include <string>
#include <string_view>

namespace jumpnest {

// Folds ASCII letters only; other bytes pass unchanged.
inline char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string AsciiLower(std::string_view text);

// Equal but for the case of ASCII letters.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace jumpnest
