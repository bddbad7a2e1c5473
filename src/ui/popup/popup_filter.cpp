#include "ui/popup/popup_filter.h"

#include <algorithm>
#include <array>
#include <climits>
#include <iterator>

#include "core/text.h"

namespace jumpnest {

namespace {

// Base letters of U+00C0 to U+017F, lower case; 0 keeps the character.
// Latin-1 Supplement from U+00C0, then Latin Extended-A from U+0100.
constexpr std::u32string_view kLatin1 =
    U"aaaaaaaceeeeiiii"
    U"dnooooo\u00D7ouuuuyt\u00DF"  // C0..DF (x sign kept; sharp s is folded before)
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
    // Variation selectors too: an emoji's selector is no character of its own.
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF) ||
           (c >= 0x1DC0 && c <= 0x1DFF) || (c >= 0x20D0 && c <= 0x20FF) ||
           (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xFE20 && c <= 0xFE2F);
}

char32_t FoldCyrillic(char32_t c) {
    // ё and ѐ are е with a mark, й is и with one.
    if (c == 0x450 || c == 0x451) return 0x435;
    return c == 0x439 ? 0x438 : c;
}

char32_t FoldGreek(char32_t c) {
    // The letters with tonos or dialytika, small and capital, as their base.
    constexpr std::u32string_view kFrom386 = U"α\u0387εηι\u038Bο\u038Dυωι";  // Ά to ΐ
    constexpr std::u32string_view kFrom3AA = U"ιυαεηιυ";                     // Ϊ to ΰ
    constexpr std::u32string_view kFrom3CA = U"ιυουω";                       // ϊ to ώ
    if (c <= 0x390) return kFrom386[c - 0x386];
    if (c <= 0x3A9) return c == 0x3A2 ? c : c + 32;  // capitals
    if (c <= 0x3B0) return kFrom3AA[c - 0x3AA];
    if (c == 0x3C2) return 0x3C3;  // a final sigma is the same letter
    return c >= 0x3CA ? kFrom3CA[c - 0x3CA] : c;
}

char32_t FoldOne(char32_t c) {
    if (c >= 0xFF01 && c <= 0xFF5E) c -= 0xFEE0;  // fullwidth forms of ASCII
    if (c >= U'A' && c <= U'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xFF) return kLatin1[c - 0xC0];
    if (c >= 0x100 && c <= 0x17F) return kLatinExtendedA[c - 0x100];
    if (c >= 0x386 && c <= 0x3CE) return FoldGreek(c);
    if (c >= 0x410 && c <= 0x42F) return FoldCyrillic(c + 32);  // Cyrillic capitals
    if (c >= 0x400 && c <= 0x40F) return FoldCyrillic(c + 80);  // Cyrillic Ѐ to Џ
    return FoldCyrillic(c);
}

void AppendFolded(char32_t c, std::u32string& folded) {
    if (IsCombiningMark(c)) return;
    if (c == 0xDF || c == 0x1E9E) {
        folded += U"ss";  // as German writes it without the letter
    } else {
        folded.push_back(FoldOne(c));
    }
}

// +1 for a capital, -1 for a small letter, 0 for neither or a letter beyond
// these tables (whose words then only break at non-letters).
int CaseOf(char32_t c) {
    if (c < 0x80) return c >= U'a' && c <= U'z' ? -1 : c >= U'A' && c <= U'Z' ? 1 : 0;
    if (c >= 0xC0 && c <= 0xFF) return c == 0xD7 || c == 0xF7 ? 0 : c < 0xDF ? 1 : -1;
    if (c >= 0x100 && c <= 0x17F) {
        // Pairs, the capital even, but odd from Ĺ to ň and from Ź to ž; ĸ, ŉ
        // and ſ have no capital, Ÿ no small letter here.
        if (c == 0x138 || c == 0x149 || c == 0x17F) return -1;
        const bool oddCapital = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        return c == 0x178 || ((c & 1) != 0) == oddCapital ? 1 : -1;
    }
    if (c == 0x1E9E || (c >= 0x386 && c <= 0x3AB && c != 0x390) || (c >= 0x400 && c <= 0x42F)) {
        return 1;
    }
    return c == 0x390 || (c >= 0x3AC && c <= 0x3CE) || (c >= 0x430 && c <= 0x45F) ? -1 : 0;
}

// Letters and digits make words; blanks, punctuation and symbols break them.
// The ranges are whole blocks of punctuation and symbols where a block has
// little else: a letter-like sign among them breaks a word too, which harms
// no search.
bool IsWordCharacter(char32_t c) {
    struct Span {
        char32_t first, last;
    };
    // clang-format off
    static constexpr Span kBreaks[] = {
        {0, 0x2F}, {0x3A, 0x40}, {0x5B, 0x60}, {0x7B, 0xA9}, {0xAB, 0xB4}, {0xB6, 0xB9},
        {0xBB, 0xBF}, {0xD7, 0xD7}, {0xF7, 0xF7},                           // ASCII, Latin-1
        {0x37E, 0x37E}, {0x384, 0x385}, {0x387, 0x387},                     // Greek
        {0x55A, 0x55F}, {0x589, 0x58A},                                     // Armenian
        {0x5BE, 0x5BE}, {0x5C0, 0x5C0}, {0x5C3, 0x5C3}, {0x5C6, 0x5C6}, {0x5F3, 0x5F4},  // Hebrew
        {0x600, 0x60F}, {0x61B, 0x61F}, {0x66A, 0x66D}, {0x6D4, 0x6D4},     // Arabic
        {0x964, 0x965}, {0xE4F, 0xE4F}, {0xE5A, 0xE5B},                     // dandas, Thai
        {0x2000, 0x2BFF},  // punctuation, currency, arrows, maths, shapes, dingbats
        {0x2E00, 0x2E7F}, {0x3000, 0x3004}, {0x3008, 0x3020}, {0x3030, 0x3030},
        {0x303D, 0x303F}, {0x30FB, 0x30FB},                                 // CJK punctuation
        {0xFD3E, 0xFD3F}, {0xFE10, 0xFE19}, {0xFE30, 0xFE6F}, {0xFF5F, 0xFF65},
        {0xFFE0, 0xFFEE}, {0xFFF0, 0xFFFF},                                 // forms, specials
        {0x1F000, 0x1FAFF},  // emoji and other pictographs
    };
    // clang-format on
    return std::none_of(std::begin(kBreaks), std::end(kBreaks),
                        [c](const Span& span) { return c >= span.first && c <= span.last; });
}

// How far a scattered match is sought, as its search keeps a table of the
// two multiplied: no one types 64 characters to find a name scattered, and a
// row shows only the start of a very long name.
constexpr std::size_t kScatteredTyped = 64, kScatteredCaption = 1024;

struct Found {
    int tier = -1;                // 0 to 4, or -1 for no match
    int cost = 0;                 // of a scattered match: lower is better
    std::vector<std::size_t> at;  // the folded characters that matched
};

// The scattered match of least cost: every gap costs more than all the word
// starts can earn back, so fewer gaps always win and word starts decide
// between as many.
void FindScattered(const FoldedCaption& caption, const std::u32string& typed, Found& found) {
    const std::u32string& text = caption.text;
    const std::size_t n = std::min(text.size(), kScatteredCaption), m = typed.size();
    if (m > kScatteredTyped || m > n) return;
    const int gap = static_cast<int>(m) + 1;
    constexpr int kNone = INT_MAX / 2;
    // cost[i * n + j]: the best match of typed[0..i] with typed[i] at text[j].
    std::vector<int> cost(m * n, kNone);
    for (std::size_t j = 0; j < n; ++j) {
        if (text[j] == typed[0] && caption.wordStart[j]) cost[j] = -1;
    }
    for (std::size_t i = 1; i < m; ++i) {
        int before = kNone;  // the best of row i - 1 up to j - 2
        for (std::size_t j = 1; j < n; ++j) {
            if (j >= 2) before = std::min(before, cost[(i - 1) * n + j - 2]);
            if (text[j] != typed[i]) continue;
            const int best = std::min(cost[(i - 1) * n + j - 1], before + gap);
            if (best < kNone / 2) cost[i * n + j] = best - (caption.wordStart[j] ? 1 : 0);
        }
    }
    const auto row = cost.begin() + static_cast<std::ptrdiff_t>((m - 1) * n);
    const auto last = std::min_element(row, row + static_cast<std::ptrdiff_t>(n));
    if (*last >= kNone / 2) return;
    found = {4, *last, std::vector<std::size_t>(m)};
    // Back from the last character: the step that gave each cost.
    std::size_t j = static_cast<std::size_t>(last - row);
    for (std::size_t i = m - 1; i > 0; --i) {
        found.at[i] = j;
        const int own = cost[i * n + j] + (caption.wordStart[j] ? 1 : 0);
        if (cost[(i - 1) * n + j - 1] != own) {
            --j;  // a gap: back to the nearest character that gave this cost
            while (cost[(i - 1) * n + j - 1] + gap != own) --j;
        }
        --j;
    }
    found.at[0] = j;
}

Found Find(const FoldedCaption& caption, const std::u32string& typed) {
    const std::u32string& text = caption.text;
    Found found;
    const auto piece = [&](std::size_t at, int tier) {
        found.tier = tier;
        for (std::size_t i = 0; i < typed.size(); ++i) found.at.push_back(at + i);
        return found;
    };
    std::size_t inside = std::u32string::npos;
    for (std::size_t at = text.find(typed); at != std::u32string::npos;
         at = text.find(typed, at + 1)) {
        if (at == 0) return piece(0, 0);
        if (caption.wordStart[at] || !IsWordCharacter(text[at - 1])) return piece(at, 1);
        if (inside == std::u32string::npos) inside = at;
    }
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (caption.wordStart[i]) starts.push_back(i);
    }
    for (std::size_t word = 0; word + typed.size() <= starts.size(); ++word) {
        std::size_t k = 0;
        while (k < typed.size() && text[starts[word + k]] == typed[k]) ++k;
        if (k < typed.size()) continue;
        found.tier = 2;
        found.at.assign(starts.begin() + static_cast<std::ptrdiff_t>(word),
                        starts.begin() + static_cast<std::ptrdiff_t>(word + k));
        return found;
    }
    if (inside != std::u32string::npos) return piece(inside, 3);
    FindScattered(caption, typed, found);
    return found;
}

// The matched folded characters as ranges of whole caption characters: a
// character's range ends where the next caption character that folds to
// something begins, so its marks go with it.
std::vector<Range16> RangesOf(const FoldedCaption& caption, const std::vector<std::size_t>& at) {
    std::vector<Range16> ranges;
    for (const std::size_t i : at) {
        const std::uint32_t begin = caption.from[i];
        std::size_t next = i + 1;
        while (next < caption.from.size() && caption.from[next] == begin) ++next;
        const std::uint32_t end =
            next < caption.from.size() ? caption.from[next] : caption.length16;
        if (!ranges.empty() && begin <= ranges.back().second) {
            ranges.back().second = std::max(ranges.back().second, end);
        } else {
            ranges.emplace_back(begin, end);
        }
    }
    return ranges;
}

}  // namespace

FoldedCaption FoldCaption(std::string_view utf8, CharacterFold fold) {
    FoldedCaption caption;
    int previousCase = 0;  // of the last character that folded to anything
    for (std::size_t at = 0; at < utf8.size();) {
        const auto [c, bytes] = DecodeUtf8At(utf8, at);
        const std::size_t first = caption.text.size();
        if (fold && bytes > 1) {
            caption.text += fold(utf8.substr(at, bytes));
        } else {
            AppendFolded(c, caption.text);
        }
        const int letterCase = CaseOf(c);
        const bool capitalAfterSmall = letterCase > 0 && previousCase < 0;
        for (std::size_t i = first; i < caption.text.size(); ++i) {
            const bool word = IsWordCharacter(caption.text[i]);
            caption.from.push_back(caption.length16);
            caption.wordStart.push_back(word && (i == 0 || !IsWordCharacter(caption.text[i - 1]) ||
                                                 (i == first && capitalAfterSmall)));
        }
        if (caption.text.size() > first) previousCase = letterCase;
        caption.length16 += c > 0xFFFF ? 2 : 1;
        at += bytes;
    }
    return caption;
}

bool DrawableInPieces(std::string_view caption) {
    struct Span {
        char32_t first, last;
    };
    // Whole blocks, where a block is mostly of such letters: a caption
    // drawn whole for nothing loses only its bold letters. Marks that a
    // match keeps with their letter (see IsCombiningMark) draw apart well.
    // clang-format off
    static constexpr Span kWhole[] = {
        {0x483, 0x489},      // Cyrillic marks
        {0x591, 0x8FF},      // Hebrew, Arabic, Syriac, Thaana, N'Ko, Samaritan, Mandaic
        {0x900, 0xDFF},      // Devanagari to Sinhala
        {0xE00, 0x109F},     // Thai, Lao, Tibetan, Myanmar
        {0x1100, 0x11FF},    // Hangul jamo, which join into syllables
        {0x1700, 0x18AF},    // Philippine scripts, Khmer, Mongolian
        {0x1900, 0x1AAF}, {0x1B00, 0x1C4F}, {0x1CD0, 0x1CFF},  // Limbu to Lepcha, Vedic
        {0x200C, 0x200F}, {0x202A, 0x202E}, {0x2066, 0x2069},  // joiners, direction marks
        {0xA800, 0xAAFF}, {0xABC0, 0xABFF}, {0xD7B0, 0xD7FF},  // Syloti Nagri to Meetei Mayek
        {0xFB1D, 0xFDFF}, {0xFE70, 0xFEFF},  // Hebrew and Arabic presentation forms
        {0x10800, 0x11FFF},  // right-to-left and Brahmic scripts of the second plane
        {0x1E800, 0x1EFFF},  // Adlam and other right-to-left scripts
        {0x1F1E6, 0x1F1FF}, {0x1F3FB, 0x1F3FF},  // flags' letters, skin tones
        {0xE0000, 0xE0FFF},  // tags, variation selectors
    };
    // clang-format on
    for (std::size_t at = 0; at < caption.size();) {
        const Utf8Char decoded = DecodeUtf8At(caption, at);
        const char32_t c = decoded.c;
        if (std::any_of(std::begin(kWhole), std::end(kWhole),
                        [c](const Span& span) { return c >= span.first && c <= span.last; })) {
            return false;
        }
        at += decoded.bytes;
    }
    return true;
}

std::u32string FoldForSearch(std::string_view utf8) {
    return FoldCaption(utf8).text;
}

void RemoveLastCharacter(std::string& text) {
    // Continuation bytes (10xxxxxx) belong to the character before them.
    while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80) {
        text.pop_back();
    }
    if (!text.empty()) text.pop_back();
}

std::vector<Match> RankEntries(const std::vector<FoldedCaption>& captions,
                               const std::u32string& typed) {
    std::vector<Match> shown;
    if (typed.empty()) {
        for (std::size_t i = 0; i < captions.size(); ++i) shown.push_back({i, {}});
        return shown;
    }
    std::array<std::vector<Match>, 5> tiers;
    std::vector<std::pair<int, std::size_t>> scattered;  // cost, place in the last tier
    for (std::size_t i = 0; i < captions.size(); ++i) {
        const FoldedCaption& caption = captions[i];
        // One made by hand out of step matches nothing rather than reading past its end.
        if (caption.from.size() != caption.text.size() ||
            caption.wordStart.size() != caption.text.size()) {
            continue;
        }
        const Found found = Find(caption, typed);
        if (found.tier < 0) continue;
        const auto tier = static_cast<std::size_t>(found.tier);
        if (found.tier == 4) scattered.emplace_back(found.cost, tiers[tier].size());
        tiers[tier].push_back({i, RangesOf(caption, found.at)});
    }
    for (std::size_t tier = 0; tier < 4; ++tier) {
        for (Match& match : tiers[tier]) shown.push_back(std::move(match));
    }
    std::stable_sort(scattered.begin(), scattered.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [cost, place] : scattered) shown.push_back(std::move(tiers[4][place]));
    return shown;
}

}  // namespace jumpnest
