#pragma once
// Runs a program of the build and collects its exit status and output.
#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace parlo::test {

struct ProcessResult {
    int status = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
    long peakRssKb = 0;  // the most memory it held at once (resident set)
};

// Runs `program` with `args`, optional text on its standard input and extra
// environment variables; waits for it to end.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& env = {},
                         const std::string& input = {});

// A program running in the background, its output discarded or, with
// `outputFile`, written there (standard output and error together). It is
// killed and reaped when the object goes away.
class BackgroundProcess {
public:
    BackgroundProcess(const std::string& program, const std::vector<std::string>& args,
                      const std::map<std::string, std::string>& env = {},
                      const std::string& outputFile = {});
    ~BackgroundProcess();
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    // The exit status (as ProcessResult::status) once it has ended within
    // `timeout`; nothing while it still runs.
    std::optional<int> WaitFor(std::chrono::milliseconds timeout);
    // Sends `signal` and waits for the end; returns the status.
    int Kill(int signal);
    // Sends `signal` and returns at once.
    void Signal(int signal);

private:
    pid_t pid_;
    std::optional<int> status_;
};

// parlo-cli new: a document of `variant` at `path` (expects success).
void CliNew(const std::string& variant, const std::string& path);
// What parlo-cli get prints for `refs` on `file` (expects success).
std::string CliGet(const std::string& file, const std::vector<std::string>& refs);

// The parlo-cli of this build.
ProcessResult RunCli(const std::vector<std::string>& args,
                     const std::map<std::string, std::string>& env = {});

}  // namespace parlo::test
