#include "core/language.h"

#include <algorithm>
#include <array>

namespace jumpnest {

bool IsGermanLocale(std::uint32_t lcid) {
    static constexpr std::array<std::uint32_t, 5> kGermanLocales = {1031, 2055, 3079, 4103, 5127};
    return std::find(kGermanLocales.begin(), kGermanLocales.end(), lcid) != kGermanLocales.end();
}

}  // namespace jumpnest
