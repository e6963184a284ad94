#include "platform/SafeFile.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/NumberText.h"

namespace parlo {

namespace {

// As many links as the system itself follows before it calls it a loop.
constexpr int kMaxLinkHops = 40;

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Where a symbolic link points, as a path usable from here; empty (errno
// set) when the link cannot be read.
std::string NextAlongLink(const std::string& link) {
    std::vector<char> buffer(PATH_MAX + 1);
    const ssize_t n = ::readlink(link.c_str(), buffer.data(), buffer.size() - 1);
    if (n <= 0) return {};
    const std::string to(buffer.data(), static_cast<size_t>(n));
    return to[0] == '/' ? to : FolderOf(link) + "/" + to;
}

bool IsDigits(const std::string& s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

// The descriptor that a path names through /dev/fd/N or /proc/self/fd/N
// (as /dev/stdout does), or -1. A pipe or socket behind it cannot always
// be opened again by name, but its descriptor can be copied.
int DescriptorNamed(std::string path) {
    const std::string prefixes[] = {"/dev/fd/", "/proc/self/fd/",
                                    "/proc/" + std::to_string(::getpid()) + "/fd/"};
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        for (const std::string& prefix : prefixes) {
            if (path.rfind(prefix, 0) == 0 && IsDigits(path.substr(prefix.size())))
                return LeadingInteger(std::string_view(path).substr(prefix.size()));
        }
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return -1;
        path = NextAlongLink(path);
        if (path.empty()) return -1;
    }
    return -1;
}

int ConnectToSocket(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        errno = ENAMETOOLONG;
        return -1;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

unsigned ModeForNewFile() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<unsigned>(0666 & ~mask);
}

void SyncFolder(const std::string& file) {
    const int fd = ::open(FolderOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// While it lives, a reader that has gone away makes a write fail with EPIPE
// instead of raising the signal that would end the process.
class BrokenPipeAsError {
public:
    BrokenPipeAsError() {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        wasPending_ = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &pipe_, &previous_);
    }
    ~BrokenPipeAsError() {
        sigset_t pending;
        sigpending(&pending);
        if (!wasPending_ && sigismember(&pending, SIGPIPE) == 1) {
            const timespec none{};
            sigtimedwait(&pipe_, nullptr, &none);
        }
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    BrokenPipeAsError(const BrokenPipeAsError&) = delete;
    BrokenPipeAsError& operator=(const BrokenPipeAsError&) = delete;

private:
    sigset_t pipe_{};
    sigset_t previous_{};
    bool wasPending_ = false;
};

// Writes everything, waiting where the descriptor would block; 0 or the
// error number.
int WriteAll(int fd, const char* data, size_t length) {
    while (length > 0) {
        const ssize_t n = ::write(fd, data, length);
        if (n > 0) {
            data += n;
            length -= static_cast<size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd wait{fd, POLLOUT, 0};
            ::poll(&wait, 1, -1);
        } else {
            return n < 0 ? errno : EIO;
        }
    }
    return 0;
}

}  // namespace

FileFailure FailureOfError(int error) {
    switch (error) {
        case 0: return {};
        case EISDIR: return {FileProblem::IsFolder, {}};
        case ELOOP: return {FileProblem::LinkLoop, {}};
        case ENOENT: return {FileProblem::NotFound, {}};
        case ENOTDIR: return {FileProblem::NoFolder, {}};
        case EACCES:
        case EPERM: return {FileProblem::Denied, {}};
        case ENOSPC:
        case EDQUOT: return {FileProblem::DiskFull, {}};
        case EFBIG: return {FileProblem::TooLarge, {}};
        case EPIPE: return {FileProblem::ReaderGone, {}};
        default: return {FileProblem::Other, std::strerror(error)};
    }
}

SafeFileWriter::~SafeFileWriter() { Discard(); }

bool SafeFileWriter::Fail(FileProblem problem) {
    failure_ = {problem, {}};
    return false;
}

bool SafeFileWriter::FailWith(int error) {
    failure_ = FailureOfError(error);
    return false;
}

bool SafeFileWriter::Open(const std::string& path) {
    Discard();
    failure_ = {};
    inPlace_ = false;
    if (path.empty()) return Fail(FileProblem::NotFound);
    if (path == kStandardOutput) {
        inPlace_ = true;
        fd_ = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
        return fd_ >= 0 || FailWith(errno);
    }
    if (!ResolveTarget(path)) return false;
    struct stat st {};
    if (::stat(target_.c_str(), &st) != 0) {
        if (errno != ENOENT) return FailWith(errno);
        return OpenTemporary(ModeForNewFile());
    }
    if (S_ISDIR(st.st_mode)) return Fail(FileProblem::IsFolder);
    if (S_ISREG(st.st_mode)) return OpenTemporary(st.st_mode & 07777);
    return OpenInPlace(target_, S_ISSOCK(st.st_mode));
}

// Sets target_: the regular file at the end of the links, the special file
// as named, or the name that a dangling link (or the path) gives to a file
// that is not there yet.
bool SafeFileWriter::ResolveTarget(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        target_ = path;
        if (S_ISREG(st.st_mode)) {
            char real[PATH_MAX];
            if (::realpath(path.c_str(), real) == nullptr) return FailWith(errno);
            target_ = real;
        }
        return true;
    }
    if (errno == ELOOP) return Fail(FileProblem::LinkLoop);
    if (errno != ENOENT) return FailWith(errno);
    std::string at = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        if (::lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            target_ = at;
            return true;
        }
        at = NextAlongLink(at);
        if (at.empty()) return FailWith(errno);
    }
    return Fail(FileProblem::LinkLoop);
}

bool SafeFileWriter::OpenTemporary(unsigned mode) {
    std::string pattern = target_ + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0)
        return errno == ENOENT || errno == ENOTDIR ? Fail(FileProblem::NoFolder) : FailWith(errno);
    temp_ = name.data();
    ::fchmod(fd_, static_cast<mode_t>(mode));
    return true;
}

bool SafeFileWriter::OpenInPlace(const std::string& path, bool socket) {
    inPlace_ = true;
    const int named = DescriptorNamed(path);
    fd_ = named >= 0 ? ::fcntl(named, F_DUPFD_CLOEXEC, 3)
                     : ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0 && socket && errno == ENXIO) fd_ = ConnectToSocket(path);
    return fd_ >= 0 || FailWith(errno);
}

bool SafeFileWriter::Write(const void* data, size_t length) {
    if (fd_ < 0 || failure_.problem != FileProblem::None) return false;
    const BrokenPipeAsError guard;
    const int error = WriteAll(fd_, static_cast<const char*>(data), length);
    return error == 0 || FailWith(error);
}

bool SafeFileWriter::Commit() {
    if (fd_ < 0) return false;
    bool ok = failure_.problem == FileProblem::None;
    if (ok && !inPlace_ && ::fsync(fd_) != 0) ok = FailWith(errno);
    if (::close(std::exchange(fd_, -1)) != 0 && ok) ok = FailWith(errno);
    if (ok && !inPlace_ && ::rename(temp_.c_str(), target_.c_str()) != 0) ok = FailWith(errno);
    if (!ok) {
        Discard();
        return false;
    }
    if (!inPlace_) {
        temp_.clear();
        SyncFolder(target_);
    }
    return true;
}

void SafeFileWriter::Discard() {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

void IgnoreFileSizeSignal() { ::signal(SIGXFSZ, SIG_IGN); }

}  // namespace parlo
