#pragma once
// The desktop program's command line, read before anything else starts:
// help and the version are printed without a display, and an option the
// program does not know is refused before a window opens. Qt's own options
// (-platform, -style, -display ...) are left to Qt.
#include <string>
#include <vector>

namespace parlo::qt {

struct CommandLine {
    enum class Action { Run, Help, Version, Refuse };
    Action action = Action::Run;
    // The files named, as absolute paths, in the order given.
    std::vector<std::string> files;
    // Why the command line was refused.
    std::string error;
};

CommandLine ReadCommandLine(int argc, char** argv);

// The text --help prints.
std::string CommandLineUsage();

}  // namespace parlo::qt
