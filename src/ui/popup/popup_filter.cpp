#include "ui/popup/popup_filter.h"

#include <algorithm>
#include <array>

namespace jumpnest {

namespace {

// Base letters of U+00C0 to U+017F, lower case; 0 keeps the character.
// Latin-1 Supplement from U+00C0, then Latin Extended-A from U+0100.
constexpr std::u32string_view kLatin1 =
    U"aaaaaaaceeeeiiii"
    U"dnooooo\u00D7ouuuuyt\u00DF"  // C0..DF (x sign, thorn, sharp s kept)
    U"aaaaaaaceeeeiiii"
    U"dnooooo\u00F7ouuuuyty";  // E0..FF (division sign kept)
constexpr std::u32string_view kLatinExtendedA =
    U"aaaaaaccccccccdd"
    U"ddeeeeeeeeeegggg"  // 0100..011F
    U"gggghhhhiiiiiiii"
    U"iiiijjkkklllllll"  // 0120..013F
    U"lllnnnnnnnnnoooo"
    U"oooorrrrrrssssss"  // 0140..015F
    U"ssttttttuuuuuuuu"
    U"uuuuwwyyyzzzzzzs";  // 0160..017F

bool IsCombiningMark(char32_t c) {
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) ||
           (c >= 0x1DC0 && c <= 0x1DFF) || (c >= 0x20D0 && c <= 0x20FF) ||
           (c >= 0xFE20 && c <= 0xFE2F);
}

char32_t FoldCyrillic(char32_t c) {
    // ё and ѐ are е with a mark, й is и with one.
    if (c == 0x450 || c == 0x451) return 0x435;
    return c == 0x439 ? 0x438 : c;
}

char32_t FoldOne(char32_t c) {
    if (c >= U'A' && c <= U'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xFF) return kLatin1[c - 0xC0];
    if (c >= 0x100 && c <= 0x17F) return kLatinExtendedA[c - 0x100];
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 32;  // Greek capitals
    if (c >= 0x410 && c <= 0x42F) return FoldCyrillic(c + 32);  // Cyrillic capitals
    if (c >= 0x400 && c <= 0x40F) return FoldCyrillic(c + 80);  // Cyrillic Ѐ to Џ
    return FoldCyrillic(c);
}

// Letters and digits make words; anything else (blanks, punctuation,
// symbols below U+00C0) separates them.
bool IsWordCharacter(char32_t c) {
    return (c >= U'0' && c <= U'9') || (c >= U'a' && c <= U'z') || c >= 0xC0;
}

}  // namespace

std::u32string FoldForSearch(std::string_view utf8) {
    std::u32string folded;
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const int length = lead < 0x80         ? 1
                           : (lead >> 5) == 6  ? 2
                           : (lead >> 4) == 14 ? 3
                           : (lead >> 3) == 30 ? 4
                                               : 0;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        bool valid = length > 0 && i + length <= utf8.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        if (!valid) {
            c = 0xFFFD;  // the replacement character, as Windows decodes it
            i += 1;
        } else {
            i += static_cast<size_t>(length);
        }
        if (!IsCombiningMark(c)) folded.push_back(FoldOne(c));
    }
    return folded;
}

void RemoveLastCharacter(std::string& text) {
    // Continuation bytes (10xxxxxx) belong to the character before them.
    while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80) {
        text.pop_back();
    }
    if (!text.empty()) text.pop_back();
}

std::vector<std::size_t> FilterEntries(const std::vector<std::u32string>& captions,
                                       const std::u32string& typed) {
    std::array<std::vector<std::size_t>, 3> groups;  // start, word start, anywhere
    for (std::size_t i = 0; i < captions.size(); ++i) {
        const std::u32string& caption = captions[i];
        int best = -1;
        for (std::size_t at = caption.find(typed); at != std::u32string::npos;
             at = caption.find(typed, at + 1)) {
            const int rank = at == 0 ? 0 : IsWordCharacter(caption[at - 1]) ? 2 : 1;
            if (best < 0 || rank < best) best = rank;
            if (best == 0 || typed.empty()) break;
        }
        if (best >= 0) groups[static_cast<std::size_t>(best)].push_back(i);
    }
    std::vector<std::size_t> shown;
    for (const auto& group : groups) shown.insert(shown.end(), group.begin(), group.end());
    return shown;
}

}  // namespace jumpnest
