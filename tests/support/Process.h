#pragma once
// Runs a program of the build and collects its exit status and output.
#include <map>
#include <string>
#include <vector>

namespace parlo::test {

struct ProcessResult {
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};

// Runs `program` with `args`, optional text on its standard input and extra
// environment variables; waits for it to end.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& env = {},
                         const std::string& input = {});

// The parlo-cli of this build.
ProcessResult RunCli(const std::vector<std::string>& args,
                     const std::map<std::string, std::string>& env = {});

}  // namespace parlo::test
