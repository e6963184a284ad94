#pragma once
// Command-line parsing for parlo-cli: a subcommand, then options and operands
// in any order ("--" ends the options).
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace parlo::cli {

// Exit statuses beyond the file and clone codes.
inline constexpr int kExitUsage = 64;
inline constexpr int kExitInput = 65;
inline constexpr int kExitCantCreate = 73;  // a file that cannot be created or written

struct OptionSpec {
    const char* name;   // "--port", or a short form "-o"
    const char* alias;  // the other spelling, or nullptr
    bool takesValue;
};

class ParsedArgs {
public:
    bool Has(const std::string& name) const { return options_.count(name) != 0; }
    // The last value given for an option, or every value in order.
    std::optional<std::string> Value(const std::string& name) const;
    std::vector<std::string> Values(const std::string& name) const;
    const std::vector<std::string>& Operands() const { return operands_; }

private:
    friend bool ParseArgs(const std::vector<std::string>&, const std::vector<OptionSpec>&,
                          ParsedArgs*, std::string*);
    std::map<std::string, std::vector<std::string>> options_;
    std::vector<std::string> operands_;
};

// Parses `args` (the words after the subcommand). Options are stored under
// their first spelling. On failure returns false with a reason in *error.
bool ParseArgs(const std::vector<std::string>& args, const std::vector<OptionSpec>& options,
               ParsedArgs* out, std::string* error);

// The bank --bank names, counted from 0 (the command line counts from 1),
// or none when the option is not given. False when it names no bank, after
// "WHO: --bank takes 1 to 5" on stderr.
bool ReadBankOption(const ParsedArgs& args, const char* who, std::optional<int>* bank);

}  // namespace parlo::cli
