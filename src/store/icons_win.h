// The shell's icon for a file, as an owned icon handle.
#pragma once

#include <cstdint>
#include <string>

#include "core/handle_win.h"

namespace jumpnest {

// flagWord is kLargeIcons (256) or kSmallIcons (257) of store/settings.h.
// Empty when the shell has no icon for the path (it does not exist, say) and
// for any other flag word.
UniqueIcon GetFileIcon(std::uint32_t flagWord, const std::string& path);

}  // namespace jumpnest
