#pragma once
// The subcommands of parlo-cli. Each source file of this folder contributes
// its commands through one function; main() joins them into one table.
#include <cstddef>
#include <string>
#include <vector>

#include "cli/CliArgs.h"

namespace parlo::cli {

struct Command {
    const char* name;
    const char* synopsis;  // usage line after "parlo-cli "
    const char* summary;   // one line for --help
    std::vector<OptionSpec> options;
    size_t minOperands;
    size_t maxOperands;
    int (*run)(const ParsedArgs& args);
};

std::vector<Command> FileCommands();
std::vector<Command> CellCommands();
std::vector<Command> SheetCommands();
std::vector<Command> ModelCommands();
std::vector<Command> SettingsCommands();
std::vector<Command> CloneCommands();
std::vector<Command> TableCommands();
std::vector<Command> DiffCommands();
std::vector<Command> PrintCommands();

}  // namespace parlo::cli
