#pragma once
// A small parsed command such as a sheet parameter "Bank 2": the text up to
// the first blank is its name, the rest a comma-separated list of values.
#include <string>
#include <vector>

namespace parlo {

class ParameterBlock {
public:
    explicit ParameterBlock(const std::string& text);
    const std::string& Name() const { return name_; }
    // Value i, trimmed of blanks and tabs; empty beyond the list.
    std::string Value(size_t i) const { return i < values_.size() ? values_[i] : std::string(); }
    size_t Count() const { return values_.size(); }

private:
    std::string name_;
    std::vector<std::string> values_;
};

}  // namespace parlo
