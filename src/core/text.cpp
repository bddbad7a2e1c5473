#include "core/text.h"

#include <algorithm>

namespace jumpnest {

std::string AsciiLower(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = AsciiLower(c);
    return result;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

Utf8Char DecodeUtf8At(std::string_view utf8, std::size_t at) {
    const auto lead = static_cast<unsigned char>(utf8[at]);
    const std::size_t length = lead < 0x80         ? 1
                               : (lead >> 5) == 6  ? 2
                               : (lead >> 4) == 14 ? 3
                               : (lead >> 3) == 30 ? 4
                                                   : 0;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    bool valid = length > 0 && at + length <= utf8.size();
    for (std::size_t k = 1; valid && k < length; ++k) {
        const auto next = static_cast<unsigned char>(utf8[at + k]);
        valid = (next & 0xC0) == 0x80;
        c = (c << 6) | (next & 0x3F);
    }
    constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    valid = valid && c >= kLeast[length] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
    return valid ? Utf8Char{c, length} : Utf8Char{0xFFFD, 1};
}

bool IsUtf8(std::string_view bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        const Utf8Char next = DecodeUtf8At(bytes, at);
        // U+FFFD from one byte beyond ASCII: that byte starts no character.
        if (next.bytes == 1 && static_cast<unsigned char>(bytes[at]) >= 0x80) return false;
        at += next.bytes;
    }
    return true;
}

}  // namespace jumpnest
