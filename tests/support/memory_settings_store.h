// A settings store in memory, standing in for the registry in the tests of
// the portable code: every write is recorded in order, and a key in
// `failing` cannot be written.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "store/settings.h"

namespace jumpnest::test {

class MemorySettingsStore : public SettingsStore {
public:
    std::optional<std::string> Read(std::string_view key) const override {
        const auto found = values.find(std::string(key));
        if (found == values.end()) return std::nullopt;
        return found->second;
    }
    bool Write(std::string_view key, std::string_view value) override {
        order.emplace_back(key);
        if (failing.count(std::string(key))) return false;
        values[std::string(key)] = std::string(value);
        return true;
    }

    std::map<std::string, std::string> values;
    std::vector<std::string> order;
    std::set<std::string> failing;
};

}  // namespace jumpnest::test
