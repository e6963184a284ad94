#include "gui/CommandLine.h"

#include <string_view>

#include "app/MainController.h"

namespace parlo::qt {

namespace {

// Qt's own command-line options, which Qt also takes with two dashes.
enum class Value { None, Next, NextOrAttached, Attached };  // attached: -name=value
struct QtOption {
    std::string_view name;
    Value value;
};
constexpr QtOption kQtOptions[] = {
    {"platform", Value::Next},
    {"platformpluginpath", Value::Next},
    {"platformtheme", Value::Next},
    {"plugin", Value::Next},
    {"qwindowgeometry", Value::Next},
    {"qwindowicon", Value::Next},
    {"qwindowtitle", Value::Next},
    {"session", Value::Next},
    {"display", Value::Next},
    {"geometry", Value::Next},
    {"style", Value::NextOrAttached},
    {"stylesheet", Value::NextOrAttached},
    {"qmljsdebugger", Value::Attached},
    {"reverse", Value::None},
    {"widgetcount", Value::None},
    {"nograb", Value::None},
    {"dograb", Value::None},
    {"sync", Value::None},
};

// The Qt option `arg` names, with *needsNext when its value is the next word.
const QtOption* FindQtOption(std::string_view arg, bool* needsNext) {
    arg.remove_prefix(arg.starts_with("--") ? 2 : 1);
    const size_t equals = arg.find('=');
    const bool attached = equals != std::string_view::npos;
    for (const QtOption& option : kQtOptions) {
        if (arg.substr(0, equals) != option.name) continue;
        const bool fits =
            attached ? option.value == Value::NextOrAttached || option.value == Value::Attached
                     : option.value != Value::Attached;
        if (!fits) return nullptr;
        *needsNext = !attached && option.value != Value::None;
        return &option;
    }
    return nullptr;
}

}  // namespace

CommandLine ReadCommandLine(int argc, char** argv) {
    CommandLine line;
    // The program's name, then what is left for the file list.
    std::vector<char*> rest(argv, argv + (argc > 0 ? 1 : 0));
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (!options || arg.size() < 2 || arg[0] != '-') {
            rest.push_back(argv[i]);
            continue;
        }
        if (arg == "--") {
            rest.push_back(argv[i]);
            options = false;
        } else if (arg == "--help" || arg == "-h") {
            line.action = CommandLine::Action::Help;
            return line;
        } else if (arg == "--version") {
            line.action = CommandLine::Action::Version;
            return line;
        } else if (bool needsNext = false; FindQtOption(arg, &needsNext) != nullptr) {
            if (needsNext && ++i >= argc) {
                line.action = CommandLine::Action::Refuse;
                line.error = "option '" + std::string(arg) + "' needs a value";
                return line;
            }
        } else {
            line.action = CommandLine::Action::Refuse;
            line.error = "unknown option '" + std::string(arg) + "'";
            return line;
        }
    }
    line.files = MainController::FileArguments(static_cast<int>(rest.size()), rest.data());
    return line;
}

std::string CommandLineUsage() {
    return "Usage: parlo [FILE]\n"
           "       parlo --help | --version\n"
           "\n"
           "Reads, edits and writes the memory of MV7105C radios. FILE is a clone file to\n"
           "open; while Parlo runs, a later start hands its FILE to the running window\n"
           "(and without one brings that window to the front).\n"
           "\n"
           "Options:\n"
           "  -h, --help   print this help and exit\n"
           "  --version    print the version and exit\n"
           "  --           what follows is a file, even if it begins with '-'\n"
           "\n"
           "Qt's own options (-platform NAME, -style NAME, -display DISPLAY ...) are\n"
           "passed on to Qt.\n";
}

}  // namespace parlo::qt
