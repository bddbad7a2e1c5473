// The input is the typed text, then captions, each part ended by a NUL byte:
// any bytes, valid UTF-8 or not.
#include <algorithm>

#include "support/fuzz_check.h"
#include "ui/popup/popup_filter.h"

using namespace jumpnest;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> parts;
    for (size_t end; (end = input.find('\0')) != input.npos; input.remove_prefix(end + 1)) {
        parts.push_back(input.substr(0, end));
    }
    parts.push_back(input);
    const std::u32string typed = FoldForSearch(parts[0]);
    std::vector<FoldedCaption> captions;
    for (size_t i = 1; i < parts.size(); ++i) {
        const FoldedCaption& c = captions.emplace_back(FoldCaption(parts[i]));
        FUZZ_CHECK(c.text == FoldForSearch(parts[i]) && c.from.size() == c.text.size() &&
                   c.wordStart.size() == c.text.size());
        FUZZ_CHECK(std::is_sorted(c.from.begin(), c.from.end()) &&
                   (c.from.empty() || c.from.back() < c.length16));
    }
    const std::vector<Match> matches = RankEntries(captions, typed);
    std::vector<bool> shown(captions.size());
    for (size_t m = 0; m < matches.size(); ++m) {
        const auto& [entry, ranges] = matches[m];
        FUZZ_CHECK(entry < captions.size() && !shown[entry] && (!typed.empty() || entry == m));
        FUZZ_CHECK(typed.empty() == ranges.empty());
        shown[entry] = true;
        const FoldedCaption& c = captions[entry];
        for (size_t r = 0; r < ranges.size(); ++r) {  // whole characters, ascending and apart
            const auto [begin, end] = ranges[r];
            FUZZ_CHECK(begin < end && end <= c.length16 &&
                       (r == 0 || ranges[r - 1].second < begin));
            FUZZ_CHECK(
                std::binary_search(c.from.begin(), c.from.end(), begin) &&
                (end == c.length16 || std::binary_search(c.from.begin(), c.from.end(), end)));
        }
        size_t matched = 0;  // the whole typed text, in order
        for (const char32_t ch : c.text) matched += matched < typed.size() && ch == typed[matched];
        FUZZ_CHECK(matched == typed.size());
    }
    for (size_t i = 0; i < captions.size(); ++i)
        FUZZ_CHECK(shown[i] || captions[i].text.find(typed) == std::u32string::npos);
    return 0;
}
