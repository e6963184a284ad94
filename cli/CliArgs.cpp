#include "cli/CliArgs.h"

#include <cstdio>

#include "model/ChannelMap.h"
#include "platform/NumberText.h"

namespace parlo::cli {

std::optional<std::string> ParsedArgs::Value(const std::string& name) const {
    auto it = options_.find(name);
    if (it == options_.end() || it->second.empty()) return std::nullopt;
    return it->second.back();
}

std::vector<std::string> ParsedArgs::Values(const std::string& name) const {
    auto it = options_.find(name);
    return it == options_.end() ? std::vector<std::string>{} : it->second;
}

namespace {

const OptionSpec* FindSpec(const std::vector<OptionSpec>& options, const std::string& word) {
    for (const OptionSpec& s : options) {
        if (word == s.name || (s.alias != nullptr && word == s.alias)) return &s;
    }
    return nullptr;
}

}  // namespace

bool ParseArgs(const std::vector<std::string>& args, const std::vector<OptionSpec>& options,
               ParsedArgs* out, std::string* error) {
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (optionsEnded || word.size() < 2 || word[0] != '-') {
            out->operands_.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = word;
        std::optional<std::string> inlineValue;
        if (const size_t eq = word.find('='); word.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = word.substr(0, eq);
            inlineValue = word.substr(eq + 1);
        }
        const OptionSpec* option = FindSpec(options, name);
        if (option == nullptr) {
            *error = "unknown option '" + name + "'";
            return false;
        }
        std::vector<std::string>& values = out->options_[option->name];
        if (!option->takesValue) {
            if (inlineValue) {
                *error = "option '" + name + "' takes no value";
                return false;
            }
            values.emplace_back();
            continue;
        }
        if (inlineValue) {
            values.push_back(*inlineValue);
        } else if (i + 1 < args.size()) {
            values.push_back(args[++i]);
        } else {
            *error = "option '" + name + "' needs a value";
            return false;
        }
    }
    return true;
}

bool ReadBankOption(const ParsedArgs& args, const char* who, std::optional<int>* bank) {
    bank->reset();
    const auto text = args.Value("--bank");
    if (!text) return true;
    const int64_t n = ReadInteger(*text).value_or(0);
    if (n < 1 || n > kBankCount) {
        std::fprintf(stderr, "%s: --bank takes 1 to %d\n", who, kBankCount);
        return false;
    }
    *bank = static_cast<int>(n) - 1;
    return true;
}

}  // namespace parlo::cli
