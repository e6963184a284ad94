#include "sheet/ParameterBlock.h"

namespace parlo {

namespace {

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

}  // namespace

ParameterBlock::ParameterBlock(const std::string& text) {
    const size_t blank = text.find(' ');
    name_ = text.substr(0, blank);
    if (blank == std::string::npos) return;
    const std::string rest = text.substr(blank + 1);
    size_t start = 0;
    for (;;) {
        const size_t comma = rest.find(',', start);
        values_.push_back(
            Trim(rest.substr(start, comma == std::string::npos ? comma : comma - start)));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
}

}  // namespace parlo
