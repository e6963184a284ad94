#pragma once
// Where the running program lives, and where its data files are found.
#include <string>

namespace parlo {

// The executable's file name without its folder ("parlo", "parlo-cli").
std::string ExecutableName();

// The executable's folder, with a trailing '/'.
std::string ExecutableDir();

// The folder holding the overlay, initial clone files and help pages: the
// executable's folder (a build tree) if it holds the main overlay, else
// ../share/parlo/ beside it (an installed tree). Always ends with '/'.
std::string DataDir();

// Tests and tools may point the programs at another data folder.
void SetDataDir(const std::string& dir);

}  // namespace parlo
