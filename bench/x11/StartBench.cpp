// parlo_start_bench: the desktop program started as a user starts it,
// against the floor program, on the X display of $DISPLAY (a window manager
// running). Each run is a new process: the time from the start to its main
// window mapped, to the first drawing in it, and to the last drawing before
// it rests (painted); then its resident memory at rest, and the time from
// the window manager's close request to the process's end. The programs take
// turns, round by round, so that a busy machine slows both alike.
//
//   parlo_start_bench --parlo PATH --floor PATH --file CLONE.icf [--rounds N]
//
// Three cases: no file, CLONE.icf, and a large clone file made from it (its
// data lines again and again up to 7.7 MB, which the reader accepts: a later
// line for an address replaces the earlier one).
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include "bench/x11/XSession.h"
#include "platform/NumberText.h"

extern char** environ;

namespace parlo::bench {
namespace {

namespace fs = std::filesystem;

constexpr int kQuietMs = 500;       // no drawing for this long: the window rests
constexpr int kDeadlineMs = 30000;  // a run that takes longer has failed
constexpr size_t kLargeFileBytes = 7'700'000;

struct Run {
    double mappedMs = NAN, firstPaintMs = NAN, paintedMs = NAN, rssMiB = NAN, exitMs = NAN;
    // The processor time the process had used by then: what a busy machine
    // stretches least.
    double mappedCpuMs = NAN, paintedCpuMs = NAN;
};

// The processor time all threads of `pid` have run, in ms (the scheduler's
// own count, to the nanosecond).
double ProcessorMs(pid_t pid) {
    double ns = 0;
    std::error_code ec;
    for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", ec)) {
        std::ifstream stat(task.path() / "schedstat");
        double run = 0;
        if (stat >> run) ns += run;
    }
    return ns / 1e6;
}

double ResidentMiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            std::istringstream fields(line.substr(6));
            double kib = 0;
            fields >> kib;
            return kib / 1024.0;
        }
    }
    return NAN;
}

std::string LoadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string a, b, c;
    in >> a >> b >> c;
    return a + " " + b + " " + c;
}

// The runtime folder is in memory, as a desktop session's is: the lock
// taken there costs no disk write.
fs::path RunFolder(const fs::path& home) {
    const fs::path shm = "/dev/shm";
    return fs::is_directory(shm) ? shm / ("parlo-start-bench-" + std::to_string(getpid()))
                                 : home / "run";
}

// The environment of a first start: settings, lock and data in a folder of
// their own, emptied before every run.
std::vector<std::string> RunEnvironment(const fs::path& home) {
    std::vector<std::string> env;
    const auto replaced = [](const std::string& entry) {
        for (const char* name : {"HOME=", "XDG_CONFIG_HOME=", "XDG_DATA_HOME=",
                                 "XDG_RUNTIME_DIR=", "XDG_CACHE_HOME=", "QT_QPA_PLATFORM="}) {
            if (entry.rfind(name, 0) == 0) return true;
        }
        return false;
    };
    for (char** e = environ; *e != nullptr; ++e) {
        if (!replaced(*e)) env.emplace_back(*e);
    }
    env.push_back("HOME=" + home.string());
    env.push_back("XDG_CONFIG_HOME=" + (home / "config").string());
    env.push_back("XDG_DATA_HOME=" + (home / "data").string());
    env.push_back("XDG_CACHE_HOME=" + (home / "cache").string());
    env.push_back("XDG_RUNTIME_DIR=" + RunFolder(home).string());
    return env;
}

void ResetHome(const fs::path& home) {
    fs::remove_all(home);
    fs::remove_all(RunFolder(home));
    for (const char* sub : {"config", "data", "cache"}) fs::create_directories(home / sub);
    fs::create_directories(RunFolder(home));
    fs::permissions(RunFolder(home), fs::perms::owner_all);
}

pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
    std::vector<char*> args, envp;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    args.push_back(nullptr);
    envp.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
        execve(args[0], args.data(), envp.data());
        _exit(127);
    }
    return pid;
}

// Waits for the process's end at most `ms`; true when it ended.
bool WaitForExit(pid_t pid, int ms) {
    const int fd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (fd >= 0) {
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, 1, ms);
        close(fd);
    }
    int status = 0;
    return waitpid(pid, &status, fd >= 0 ? WNOHANG : 0) == pid;
}

std::optional<Run> Launch(XSession& x, const std::vector<std::string>& argv, const fs::path& home) {
    ResetHome(home);
    Display* dpy = static_cast<Display*>(x.Dpy());
    const Window root = DefaultRootWindow(dpy);
    XSelectInput(dpy, root, SubstructureNotifyMask);
    XSync(dpy, True);  // nothing from before this run
    const auto env = RunEnvironment(home);
    Run run;
    const Clock::time_point start = Clock::now();
    const pid_t pid = Spawn(argv, env);
    if (pid < 0) return std::nullopt;
    Window main = None;
    Clock::time_point mapped{}, firstPaint{}, lastPaint{};
    bool painted = false;
    for (;;) {
        const double elapsed = MsBetween(start, Clock::now());
        if (elapsed > kDeadlineMs) break;
        int wait = kDeadlineMs - static_cast<int>(elapsed);
        if (painted) {
            wait = kQuietMs - static_cast<int>(MsBetween(lastPaint, Clock::now()));
            if (wait <= 0) break;
        }
        if (!x.WaitForEvents(wait)) continue;
        while (XPending(dpy) > 0) {
            XEvent e;
            XNextEvent(dpy, &e);
            const Clock::time_point now = Clock::now();
            if (e.type == CreateNotify && e.xcreatewindow.parent == root &&
                !e.xcreatewindow.override_redirect) {
                XSelectInput(dpy, e.xcreatewindow.window, StructureNotifyMask);
                x.WatchDamage(e.xcreatewindow.window);
            } else if (e.type == MapNotify && main == None && e.xmap.event == e.xmap.window &&
                       x.WindowPid(e.xmap.window) == pid) {
                main = e.xmap.window;
                mapped = now;
                run.mappedCpuMs = ProcessorMs(pid);
            } else if (e.type == x.DamageEventBase() + XDamageNotify && main != None &&
                       reinterpret_cast<XDamageNotifyEvent&>(e).drawable == main) {
                if (!painted) firstPaint = now;
                painted = true;
                lastPaint = now;
                run.paintedCpuMs = ProcessorMs(pid);
            }
        }
    }
    XSelectInput(dpy, root, NoEventMask);
    if (painted) {
        run.mappedMs = MsBetween(start, mapped);
        run.firstPaintMs = MsBetween(start, firstPaint);
        run.paintedMs = MsBetween(start, lastPaint);
        run.rssMiB = ResidentMiB(pid);
        const Clock::time_point closing = Clock::now();
        x.RequestClose(main);
        if (WaitForExit(pid, 10000)) run.exitMs = MsBetween(closing, Clock::now());
    }
    x.ForgetAll();
    if (kill(pid, 0) == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    if (!painted) {
        std::fprintf(stderr, "%s: %s within %d ms\n", argv.front().c_str(),
                     main == None ? "no window mapped" : "nothing drawn", kDeadlineMs);
        return std::nullopt;
    }
    return run;
}

// The large file: the clone file's header lines once, then its data lines
// again and again.
fs::path MakeLargeFile(const fs::path& from, const fs::path& folder) {
    std::ifstream in(from, std::ios::binary);
    std::string line, head, data;
    int lines = 0;
    while (std::getline(in, line)) {
        line += '\n';
        (lines++ < 3 ? head : data) += line;
    }
    const fs::path out = folder / "large.icf";
    std::ofstream file(out, std::ios::binary);
    file << head;
    size_t size = head.size();
    while (size < kLargeFileBytes && !data.empty()) {
        file << data;
        size += data.size();
    }
    return out;
}

// A program measured: its name in the report and how it is started.
struct Program {
    std::string name, path;
};

void Report(const std::string& title, const std::vector<Program>& programs,
            const std::vector<std::vector<Run>>& runs) {
    std::printf("\n%s: %zu runs each (p50 p95; the ratio is the median of the rounds' ratios "
                "to the floor)\n",
                title.c_str(), runs.front().size());
    std::printf("  %-22s", "");
    for (const Program& p : programs) std::printf(" %19s", (p.name + " p50   p95").c_str());
    std::printf("\n");
    const std::pair<const char*, double Run::*> columns[] = {
        {"start -> mapped (ms)", &Run::mappedMs},     {"start -> first paint", &Run::firstPaintMs},
        {"start -> painted (ms)", &Run::paintedMs},   {"CPU until mapped (ms)", &Run::mappedCpuMs},
        {"CPU until painted (ms)", &Run::paintedCpuMs}, {"idle memory (MiB)", &Run::rssMiB},
        {"close -> exit (ms)", &Run::exitMs}};
    for (const auto& [label, field] : columns) {
        std::printf("  %-22s", label);
        std::vector<std::string> ratios;
        for (size_t k = 0; k < programs.size(); ++k) {
            std::vector<double> values, floor, ratio;
            for (size_t i = 0; i < runs[k].size(); ++i) {
                values.push_back(runs[k][i].*field);
                floor.push_back(runs[0][i].*field);
                ratio.push_back(runs[k][i].*field / runs[0][i].*field);
            }
            std::printf(" %s %s", Column(Percentile(values, 0.5), 9).c_str(),
                        Column(Percentile(values, 0.95), 9).c_str());
            if (k == 0) continue;
            std::string text = programs[k].name + " " + RealText(Percentile(ratio, 0.5), 3) + " x";
            if (field == &Run::rssMiB) {
                const double more = Percentile(values, 0.5) - Percentile(floor, 0.5);
                text += " (" + std::string(more >= 0 ? "+" : "") + RealText(more, 1) + " MiB)";
            }
            ratios.push_back(text);
        }
        for (const std::string& r : ratios) std::printf("   %s", r.c_str());
        std::printf("\n");
    }
}

int Main(int argc, char** argv) {
    std::map<std::string, std::string> options;
    for (int i = 1; i + 1 < argc; i += 2) options[argv[i]] = argv[i + 1];
    if (!options.count("--parlo") || !options.count("--floor") || !options.count("--file")) {
        std::fprintf(stderr,
                     "usage: %s --parlo PATH --floor PATH --file CLONE.icf [--baseline PATH] "
                     "[--rounds N] [--cases start,file,large]\n",
                     argv[0]);
        return 64;
    }
    const int rounds =
        options.count("--rounds") ? std::max(1, LeadingInteger(options["--rounds"])) : 15;
    const std::string only = options.count("--cases") ? options["--cases"] : "start,file,large";
    XSession x;
    if (!x.Ok()) {
        std::printf("parlo_start_bench skipped: %s\n", x.Problem().c_str());
        return 0;
    }
    char scratchName[] = "/tmp/parlo-start-bench.XXXXXX";
    const fs::path scratch = mkdtemp(scratchName);
    const fs::path large = MakeLargeFile(options["--file"], scratch);
    // The floor first: the others are measured against it. A baseline (an
    // earlier build) runs in the same rounds.
    std::vector<Program> programs = {{"floor", options["--floor"]}, {"parlo", options["--parlo"]}};
    if (options.count("--baseline")) programs.push_back({"baseline", options["--baseline"]});
    std::vector<std::pair<std::string, std::vector<std::string>>> cases;
    if (only.find("start") != std::string::npos) cases.push_back({"start, no file", {}});
    if (only.find("file") != std::string::npos)
        cases.push_back({"start with a clone file (" +
                             std::to_string(fs::file_size(options["--file"])) + " bytes)",
                         {options["--file"]}});
    if (only.find("large") != std::string::npos)
        cases.push_back({"start with a large clone file (" + std::to_string(fs::file_size(large)) +
                             " bytes)",
                         {large.string()}});
    std::printf("load average before: %s (%ld processors)\n", LoadAverage().c_str(),
                sysconf(_SC_NPROCESSORS_ONLN));
    int failures = 0;
    for (const auto& [title, files] : cases) {
        std::vector<std::vector<Run>> runs(programs.size());
        // One round to warm the caches, then the programs take turns, the
        // first of each round another each time.
        for (int round = -1; round < rounds; ++round) {
            std::vector<std::optional<Run>> got(programs.size());
            for (size_t n = 0; n < programs.size(); ++n) {
                const size_t k = (n + static_cast<size_t>(round + 1)) % programs.size();
                std::vector<std::string> argv = {programs[k].path};
                argv.insert(argv.end(), files.begin(), files.end());
                got[k] = Launch(x, argv, scratch / "home");
            }
            if (std::any_of(got.begin(), got.end(), [](const auto& r) { return !r; })) {
                ++failures;
                continue;
            }
            if (round < 0) continue;
            for (size_t k = 0; k < programs.size(); ++k) runs[k].push_back(*got[k]);
        }
        if (!runs.front().empty()) Report(title, programs, runs);
    }
    std::printf("\nload average after: %s\n", LoadAverage().c_str());
    fs::remove_all(RunFolder(scratch / "home"));
    fs::remove_all(scratch);
    if (failures > 0) std::printf("%d rounds had a run that showed no window in time\n", failures);
    return failures > 0 ? 1 : 0;
}

}  // namespace
}  // namespace parlo::bench

int main(int argc, char** argv) { return parlo::bench::Main(argc, argv); }
