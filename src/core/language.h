// Interface language rules.
#pragma once

#include <cstdint>

namespace jumpnest {

// The German locales (Germany, Switzerland, Austria, Luxembourg and
// Liechtenstein) start the interface in German; no other language is ever
// chosen from the locale.
bool IsGermanLocale(std::uint32_t lcid);

}  // namespace jumpnest
