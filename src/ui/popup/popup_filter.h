// Typing in the open popup narrows its list: which entries match the typed
// text, best first. Pure functions on text folded for searching.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace jumpnest {

// Text as the search compares it: UTF-8 decoded to code points, lower case,
// accents dropped ("Élan" and "elan" alike). An invalid UTF-8 byte becomes
// U+FFFD. This covers the Latin, Greek and Cyrillic letters; the program
// folds with the system's own tables where it can (see menu_window_win).
std::u32string FoldForSearch(std::string_view utf8);

// The last character of UTF-8 `text` taken off, however many bytes it has.
void RemoveLastCharacter(std::string& text);

// The positions of the captions that contain `typed`, both folded: those that
// start with it first, then those where a later word starts with it, then
// the rest, each group in the list's own order. Empty `typed` keeps all.
std::vector<std::size_t> FilterEntries(const std::vector<std::u32string>& captions,
                                       const std::u32string& typed);

}  // namespace jumpnest
