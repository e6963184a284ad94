#include "tests/support/Process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace parlo::test {

namespace {

void Drain(int fd, std::string* into, bool* open) {
    char buf[4096];
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n > 0) {
        into->append(buf, static_cast<size_t>(n));
    } else {
        *open = false;
    }
}

// In the child: the environment, then the program.
[[noreturn]] void Exec(const std::string& program, const std::vector<std::string>& args,
                       const std::map<std::string, std::string>& env) {
    for (const auto& [k, v] : env) ::setenv(k.c_str(), v.c_str(), 1);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
}

int StatusOf(int waitStatus) {
    return WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
}

}  // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::map<std::string, std::string>& env, const std::string& input) {
    int out[2], err[2], in[2];
    if (::pipe(out) != 0 || ::pipe(err) != 0 || ::pipe(in) != 0) throw std::runtime_error("pipe");
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork");
    if (pid == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) ::close(fd);
        Exec(program, args, env);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    if (!input.empty()) {
        ssize_t ignored = ::write(in[1], input.data(), input.size());
        (void)ignored;
    }
    ::close(in[1]);
    ProcessResult r;
    bool outOpen = true, errOpen = true;
    while (outOpen || errOpen) {
        pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) break;
        if (outOpen && (fds[0].revents & (POLLIN | POLLHUP))) Drain(out[0], &r.out, &outOpen);
        if (errOpen && (fds[1].revents & (POLLIN | POLLHUP))) Drain(err[0], &r.err, &errOpen);
    }
    ::close(out[0]);
    ::close(err[0]);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    r.status = StatusOf(status);
    r.peakRssKb = usage.ru_maxrss;
    return r;
}

BackgroundProcess::BackgroundProcess(const std::string& program,
                                     const std::vector<std::string>& args,
                                     const std::map<std::string, std::string>& env,
                                     const std::string& outputFile) {
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork");
    if (pid_ == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        ::dup2(null, 0);
        const int out = outputFile.empty()
                            ? null
                            : ::open(outputFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        for (int fd : {1, 2}) ::dup2(out, fd);
        Exec(program, args, env);
    }
}

BackgroundProcess::~BackgroundProcess() {
    if (!status_) Kill(SIGKILL);
}

std::optional<int> BackgroundProcess::WaitFor(std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!status_) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            status_ = StatusOf(status);
        } else if (std::chrono::steady_clock::now() >= end) {
            break;
        } else {
            ::usleep(10000);
        }
    }
    return status_;
}

int BackgroundProcess::Kill(int signal) {
    if (status_) return *status_;
    ::kill(pid_, signal);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    status_ = StatusOf(status);
    return *status_;
}

void BackgroundProcess::Signal(int signal) {
    if (!status_) ::kill(pid_, signal);
}

ProcessResult RunCli(const std::vector<std::string>& args,
                     const std::map<std::string, std::string>& env) {
    return RunProcess(PARLO_CLI_PATH, args, env);
}

void CliNew(const std::string& variant, const std::string& path) {
    const ProcessResult r = RunCli({"new", "--variant", variant, "-o", path});
    EXPECT_EQ(r.status, 0) << r.err;
}

std::string CliGet(const std::string& file, const std::vector<std::string>& refs) {
    std::vector<std::string> args = {"get", file};
    args.insert(args.end(), refs.begin(), refs.end());
    const ProcessResult r = RunCli(args);
    EXPECT_EQ(r.status, 0) << r.err;
    return r.out;
}

}  // namespace parlo::test
