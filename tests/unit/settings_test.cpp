#include "store/settings.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "support/memory_settings_store.h"

namespace jumpnest {
namespace {

using FakeStore = test::MemorySettingsStore;

TEST(Settings, DefaultsOnAnEmptyStore) {
    const FakeStore store;
    EXPECT_EQ(LoadOptions(store, false, 0), (Options{0, true, kLargeIcons, false}));
    // German locales start in German; others keep the language they have.
    EXPECT_EQ(LoadOptions(store, true, 0).language, 1);
    EXPECT_EQ(LoadOptions(store, false, 3).language, 3);
}

TEST(Settings, StoredValuesWinOverTheLocale) {
    FakeStore store;
    store.values = {
        {"Language", "0"}, {"ShowInSysTray", "0"}, {"IconSize", "257"}, {"Explorer", "1"}};
    EXPECT_EQ(LoadOptions(store, true, 0), (Options{0, false, kSmallIcons, true}));
}

TEST(Settings, AnyNumberButZeroAndTruthWordsAreTrue) {
    FakeStore store;
    store.values = {{"ShowInSysTray", "-1"}, {"Explorer", "True"}};
    EXPECT_TRUE(LoadOptions(store, false, 0).showInSysTray);
    EXPECT_TRUE(LoadOptions(store, false, 0).explorer);
    store.values = {{"ShowInSysTray", "FALSE"}, {"Explorer", " 7 "}};
    EXPECT_FALSE(LoadOptions(store, false, 0).showInSysTray);
    EXPECT_TRUE(LoadOptions(store, false, 0).explorer);
}

TEST(Settings, GarbageReadsAsAbsent) {
    FakeStore store;
    store.values = {
        {"Language", "two"}, {"ShowInSysTray", "yes"}, {"IconSize", "256px"}, {"Explorer", ""}};
    EXPECT_EQ(LoadOptions(store, true, 0), (Options{1, true, kLargeIcons, false}));
    store.values = {{"Language", "1.5"}, {"IconSize", "99999999999"}};
    EXPECT_EQ(LoadOptions(store, false, 2), (Options{2, true, kLargeIcons, false}));
}

TEST(Settings, IconSizeIsLargeOrSmallOnly) {
    FakeStore store;
    for (const char* stored : {"0", "1", "-1", "255", "258", "512", "-2147483648"}) {
        store.values = {{"IconSize", stored}};
        EXPECT_EQ(LoadOptions(store, false, 0).iconSize, kLargeIcons) << stored;
    }
    store.values = {{"IconSize", " 257 "}};
    EXPECT_EQ(LoadOptions(store, false, 0).iconSize, kSmallIcons);
    store.values = {{"IconSize", "256"}};
    EXPECT_EQ(LoadOptions(store, false, 0).iconSize, kLargeIcons);
}

TEST(Settings, ParsingWholeNumbers) {
    EXPECT_EQ(ParseInteger("257"), 257);
    EXPECT_EQ(ParseInteger(" -1 "), -1);
    EXPECT_EQ(ParseInteger("+3"), 3);
    EXPECT_EQ(ParseInteger("2147483647"), 2147483647);
    EXPECT_EQ(ParseInteger("2147483648"), std::nullopt);
    for (const char* bad : {"", " ", "1e3", "0x10", "3 4", "--1", "+", "+-1", "+ 1", "-+1"}) {
        EXPECT_EQ(ParseInteger(bad), std::nullopt) << bad;
    }
}

TEST(Settings, SaveWritesEveryKeyInOrderAndReportsFailure) {
    FakeStore store;
    EXPECT_TRUE(SaveOptions(store, Options{2, false, kSmallIcons, true}, 14004));
    EXPECT_EQ(store.order, (std::vector<std::string>{"Version", "Language", "ShowInSysTray",
                                                     "IconSize", "Explorer"}));
    EXPECT_EQ(store.values, (std::map<std::string, std::string>{{"Version", "14004"},
                                                                {"Language", "2"},
                                                                {"ShowInSysTray", "0"},
                                                                {"IconSize", "257"},
                                                                {"Explorer", "1"}}));
    // A failed write does not stop the ones after it, but is reported.
    FakeStore failing;
    failing.failing = {"Language"};
    EXPECT_FALSE(SaveOptions(failing, Options{}, 14004));
    EXPECT_EQ(failing.values.count("Explorer"), 1u);
    EXPECT_EQ(failing.values.at("ShowInSysTray"), "1");
}

TEST(Settings, SavedOptionsLoadBack) {
    FakeStore store;
    const Options saved{3, false, kSmallIcons, true};
    SaveOptions(store, saved, 14004);
    EXPECT_EQ(LoadOptions(store, true, 0), saved);
}

}  // namespace
}  // namespace jumpnest
