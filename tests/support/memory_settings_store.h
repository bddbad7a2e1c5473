// The registry's stand-in for the portable tests; a key in `failing` cannot be written.
#pragma once

#include <map>
#include <set>

#include "store/settings.h"

namespace jumpnest::test {

struct MemorySettingsStore : SettingsStore {
    std::map<std::string, std::string, std::less<>> values;
    std::set<std::string, std::less<>> failing;

    std::optional<std::string> Read(std::string_view key) const override {
        const auto found = values.find(key);
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }
    bool Write(std::string_view key, std::string_view value) override {
        return !failing.contains(key) && (values[std::string(key)] = value, true);
    }
};

}  // namespace jumpnest::test
