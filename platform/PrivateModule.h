#pragma once
// Parts of the programs that only some commands need live in modules of
// their own, loaded on first use, so that a start that does not need them
// never loads their libraries. A module is found beside the program (a
// build tree), else in ../libexec/parlo/ (an installed tree: private to the
// programs, outside the linker's folders), and exports one function, by a
// name of its own, that returns its table of entry points.
#include <string>

namespace parlo {

// The table the module `file` returns from its entry `symbol`, the module
// loaded once and kept; nullptr, with the reason in *error, when it cannot
// be found or loaded or has no such entry.
const void* LoadPrivateModule(const std::string& file, const char* symbol, std::string* error);

}  // namespace parlo
