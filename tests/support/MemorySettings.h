#pragma once
// A settings store in memory: nothing stored, so every run starts with the
// defaults.
#include <map>
#include <utility>

#include "platform/SettingsStore.h"

namespace parlo::test {

class MemorySettings : public SettingsStore {
public:
    std::optional<int32_t> ReadInt(const std::string& g, const std::string& n) const override {
        auto it = ints_.find({g, n});
        return it == ints_.end() ? std::nullopt : std::optional<int32_t>(it->second);
    }
    std::optional<std::string> ReadText(const std::string& g, const std::string& n) const override {
        auto it = texts_.find({g, n});
        return it == texts_.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    std::vector<std::string> Names(const std::string& g) const override {
        std::vector<std::string> names;
        for (const auto& [key, v] : ints_) {
            if (key.first == g) names.push_back(key.second);
        }
        for (const auto& [key, v] : texts_) {
            if (key.first == g) names.push_back(key.second);
        }
        return names;
    }
    void WriteInt(const std::string& g, const std::string& n, int32_t v) override {
        ints_[{g, n}] = v;
    }
    void WriteText(const std::string& g, const std::string& n, const std::string& v) override {
        texts_[{g, n}] = v;
    }
    bool Flush() override { return true; }

private:
    std::map<std::pair<std::string, std::string>, int32_t> ints_;
    std::map<std::pair<std::string, std::string>, std::string> texts_;
};

}  // namespace parlo::test
