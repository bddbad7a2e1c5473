// The shell's picture of a file at a given size, as an owned icon handle.
#pragma once

#include <cstdint>
#include <string>

#include "core/handle_win.h"

namespace jumpnest {

// flagWord is kLargeIcons (256) or kSmallIcons (257) of store/settings.h.
// Empty when the shell has no icon for the path (it does not exist, say) and
// for any other flag word.
UniqueIcon GetFileIcon(std::uint32_t flagWord, const std::string& path);

// The shell's picture of `path`, `size` pixels square: taken from the
// smallest of the shell's sizes that is at least as large and shrunk, so it
// stays sharp at any display scale. Empty when the shell has none.
UniqueIcon FileIconAtSize(const std::string& path, int size);

}  // namespace jumpnest
