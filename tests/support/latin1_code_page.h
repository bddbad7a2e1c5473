// Latin-1 in the place of an ANSI code page: U+0000..U+00FF, one byte each.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace jumpnest::test {

inline std::optional<std::string> ToLatin1(std::string_view utf8) {
    std::string latin1;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const bool pair =
            (lead == 0xC2 || lead == 0xC3) && i + 1 < utf8.size() && (utf8[i + 1] & 0xC0) == 0x80;
        if (lead >= 0x80 && !pair) return std::nullopt;
        latin1 += pair ? static_cast<char>((lead & 0x03) << 6 | (utf8[++i] & 0x3F)) : utf8[i];
    }
    return latin1;
}

inline std::string FromLatin1(std::string_view latin1) {
    std::string utf8;
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) utf8 += static_cast<char>(0xC0 | byte >> 6);
        utf8 += byte < 0x80 ? c : static_cast<char>(0x80 | (byte & 0x3F));
    }
    return utf8;
}

}  // namespace jumpnest::test
