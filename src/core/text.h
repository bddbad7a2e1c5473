// Small text helpers on UTF-8 strings.
#pragma once

#include <cstddef>
#include <optional>
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

// `text` with every "%NAME%" whose `lookup` answers replaced by that answer,
// as Windows expands environment variables: an unknown name is left as it
// stands, and its closing "%" may open the next name.
template <typename Lookup>
std::string ExpandVariables(std::string_view text, Lookup lookup) {
    std::string out;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t open = text.find('%', at);
        const std::size_t close = open == std::string_view::npos ? open : text.find('%', open + 1);
        if (close == std::string_view::npos) break;
        out.append(text.substr(at, open - at));
        const std::optional<std::string> value =
            close > open + 1 ? lookup(text.substr(open + 1, close - open - 1)) : std::nullopt;
        if (value) {
            out += *value;
            at = close + 1;
        } else {
            out += '%';
            at = open + 1;
        }
    }
    out.append(text.substr(at));
    return out;
}

}  // namespace jumpnest
