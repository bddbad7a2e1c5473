#include "ui/text/language.h"

#include <gtest/gtest.h>

namespace jumpnest {
namespace {

TEST(GermanLocale, OnlyTheFiveGermanLocales) {
    for (unsigned lcid : {1031u, 2055u, 3079u, 4103u, 5127u}) {
        EXPECT_TRUE(IsGermanLocale(lcid)) << lcid;
    }
    // English, French, Swiss French, Italian, Low German, and near misses.
    for (unsigned lcid : {1033u, 1036u, 4108u, 1040u, 1127u, 103u, 10310u, 0u, 6151u}) {
        EXPECT_FALSE(IsGermanLocale(lcid)) << lcid;
    }
}

}  // namespace
}  // namespace jumpnest
