// Small text helpers on UTF-8 strings.
#pragma once

#include <cstddef>
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

struct Utf8Char {
    char32_t c;
    std::size_t bytes;
};

// The character at `at` of `utf8`; anything but the shortest form of a code
// point (which Windows would not decode either), a surrogate or a code point
// past U+10FFFF is U+FFFD for its first byte.
Utf8Char DecodeUtf8At(std::string_view utf8, std::size_t at);

// Whether every byte of `bytes` belongs to a well-formed UTF-8 character.
bool IsUtf8(std::string_view bytes);

}  // namespace jumpnest
