// The search's fold with the system's own tables.
#pragma once

#include <string>
#include <string_view>

namespace jumpnest {

// Text as the search compares it, folded with the system's own tables in the
// user's locale: its lower case, then its decomposition, whose accents the
// portable fold drops. The search folds one character at a time with it, so
// that each folded character keeps its place in the caption.
std::u32string FoldForUser(std::string_view utf8);

}  // namespace jumpnest
