// Typing in the open popup narrows its list: which entries match the typed
// text, best first, and which characters of each caption matched. Pure
// functions on text folded for searching.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace jumpnest {

// Text as the search compares it: UTF-8 decoded to code points, lower case,
// accents dropped ("Élan" and "elan" alike), "ß" and "ẞ" as "ss", a final
// sigma as a medial one, the fullwidth forms of ASCII as ASCII. An
// invalid UTF-8 byte (also an overlong form, a surrogate or a code point past
// U+10FFFF) becomes U+FFFD. This covers the Latin, Greek and Cyrillic letters;
// the program folds with the system's own tables where it can (see
// menu_window_win).
std::u32string FoldForSearch(std::string_view utf8);

// Folds one character, given as its UTF-8 bytes (never ASCII, never invalid),
// to any number of characters: the system's tables instead of the portable
// ones.
using CharacterFold = std::u32string (*)(std::string_view character);

// A caption folded for searching, with what ranking and drawing need. The
// three vectors run in step.
struct FoldedCaption {
    std::u32string text;
    // Per folded character: where the caption character it comes from starts,
    // in UTF-16 code units. "ß" gives two characters with the same offset.
    std::vector<std::uint32_t> from;
    std::vector<bool> wordStart;  // per folded character: it begins a word
    std::uint32_t length16 = 0;   // the caption's length in UTF-16 code units
};

// `utf8` folded as FoldForSearch does, or with `fold` for each character
// beyond ASCII (ASCII folds alike everywhere). A word is a run of letters and
// digits: anything else breaks words (blanks, dashes, quotes, CJK punctuation,
// symbols), and so does a capital after a small letter, seen before folding
// ("RegEdit" is two words). A combining mark belongs to the character before
// it.
FoldedCaption FoldCaption(std::string_view utf8, CharacterFold fold = nullptr);

// [begin, end) in UTF-16 code units of the caption, as the wide caption is
// drawn.
using Range16 = std::pair<std::uint32_t, std::uint32_t>;

struct Match {
    std::size_t entry;  // position in the captions ranked
    // The caption's characters that matched: non-empty ranges, ascending and
    // apart, each covering whole caption characters with their marks.
    std::vector<Range16> ranges;
};

// The captions that match `typed` (folded like them), best first, each at
// most once, in tiers; the whole typed text matches in every tier:
//   1. the caption starts with it;
//   2. a later word starts with it;
//   3. the initials of consecutive words start with it ("vsc" finds
//      "Visual Studio Code", "re" finds "RegEdit");
//   4. it stands inside the caption as one piece;
//   5. its characters appear in order, scattered, the first one at a word
//      start ("ntpd" finds "Notepad"); sought for up to 64 typed characters
//      in the first 1024 folded characters of a caption.
// Tiers 1 to 4 keep the list's own order; tier 5 puts fewer gaps first, then
// more matched characters at word starts, then the list's order. Empty
// `typed` keeps every entry, in order, with no ranges.
std::vector<Match> RankEntries(const std::vector<FoldedCaption>& captions,
                               const std::u32string& typed);

// Whether the matched letters of UTF-8 `caption` may be drawn apart from the
// rest, piece by piece, and still read as the caption drawn whole. Not when
// drawing whole is what puts its letters in order or in shape: right-to-left
// letters and direction marks, scripts whose letters join, stack or reorder
// (Arabic, the Indic scripts, Thai, Khmer, Tibetan, Hangul jamo, ...),
// joiners, and the modifiers, tags and marks that lean on a neighbour
// without being kept with it by the match.
bool DrawableInPieces(std::string_view caption);

// The last character of UTF-8 `text` taken off, however many bytes it has.
void RemoveLastCharacter(std::string& text);

}  // namespace jumpnest
