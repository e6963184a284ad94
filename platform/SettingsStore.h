#pragma once
// The per-user settings store: named integer and text values in named
// groups. Reads answer nothing for a value that is missing or cannot be
// taken as the type asked for.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace parlo {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::optional<int32_t> ReadInt(const std::string& group,
                                           const std::string& name) const = 0;
    virtual std::optional<std::string> ReadText(const std::string& group,
                                                const std::string& name) const = 0;
    // The value names present in a group, in no particular order.
    virtual std::vector<std::string> Names(const std::string& group) const = 0;
    virtual void WriteInt(const std::string& group, const std::string& name, int32_t value) = 0;
    virtual void WriteText(const std::string& group, const std::string& name,
                           const std::string& value) = 0;
    // Makes the writes permanent; false when they could not be stored.
    virtual bool Flush() = 0;
};

}  // namespace parlo
