#include "platform/SafeFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "platform/posix/FileOps.h"
#include "platform/posix/PathWalk.h"

#include "platform/NumberText.h"

namespace parlo {

namespace {

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

void Close(int& fd) {
    if (fd >= 0) ::close(std::exchange(fd, -1));
}

// Seconds after which a replacement left with a name of its own is surely
// no save under way any more.
constexpr int kLeftoverAge = 10;

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

FileFailure ReadWholeFile(const std::string& path, std::string* text) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return FailureOfError(errno);
    char buffer[1 << 16];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text->append(buffer, n);
    const int error = std::ferror(f) ? errno : 0;
    std::fclose(f);
    return FailureOfError(error);
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
    earlierKept_ = true;
    earlierCopy_.clear();
    if (path.empty()) return Fail(FileProblem::NotFound);
    if (path == kStandardOutput) return OpenStream(STDOUT_FILENO, path, false);
    PathWalk walk;
    failure_ = walk.Walk(path);
    if (failure_.problem != FileProblem::None) return false;
    if (walk.Descriptor() >= 0) return OpenStream(walk.Descriptor(), path, false);
    folder_ = walk.TakeFolder();
    name_ = walk.Name();
    existed_ = walk.Exists();
    if (!existed_) return OpenReplacement(0666);
    const struct stat& st = walk.Stat();
    if (S_ISREG(st.st_mode)) return OpenRegular(st);
    return OpenStream(-1, path, S_ISSOCK(st.st_mode));
}

// A FIFO, a device, a socket, or a descriptor of this process: written as
// the bytes come, with nothing to keep if the writing fails.
bool SafeFileWriter::OpenStream(int descriptor, const std::string& path, bool socket) {
    mode_ = Mode::Stream;
    earlierKept_ = false;
    fd_ = descriptor >= 0
              ? ::fcntl(descriptor, F_DUPFD_CLOEXEC, 3)
              : ::openat(folder_, name_.c_str(), O_WRONLY | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC);
    if (fd_ < 0 && socket && errno == ENXIO) fd_ = ConnectToSocket(path);
    return fd_ >= 0 || FailWith(errno);
}

// Like careful editors, a file without any write permission counts as
// write-protected even for the one user whom the system would let write it.
bool SafeFileWriter::OpenRegular(const struct stat& st) {
    if ((st.st_mode & 0222) == 0) return Fail(FileProblem::WriteProtected);
    int target = ::openat(folder_, name_.c_str(), O_WRONLY | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (target < 0)
        return errno == EACCES || errno == EPERM ? Fail(FileProblem::WriteProtected)
                                                 : FailWith(errno);
    const bool replaced = st.st_nlink == 1 && OpenReplacement(0600) && KeepAttributes(target, st);
    Close(target);
    if (replaced) return true;
    Discard(true);
    failure_ = {};
    return OpenOverwrite();
}

bool SafeFileWriter::OpenReplacement(unsigned mode) {
    mode_ = Mode::Replace;
    fileops::RemoveLeftovers(folder_, TemporaryStem(), kLeftoverAge);
    const int error =
        fileops::CreateUnnamed(folder_, TemporaryStem(), O_WRONLY, mode, &fd_, &tempName_);
    return error == 0 || FailWith(error);
}

// The replacement takes what the system keeps about the file; where it
// cannot, replacing the file would change it.
bool SafeFileWriter::KeepAttributes(int target, const struct stat& st) {
    return ::fchown(fd_, st.st_uid, st.st_gid) == 0 && ::fchmod(fd_, st.st_mode & 07777) == 0 &&
           fileops::CopyExtendedAttributes(target, fd_) == 0;
}

bool SafeFileWriter::Write(const void* data, size_t length) {
    if (fd_ < 0 || failure_.problem != FileProblem::None) return false;
    if (mode_ == Mode::Overwrite) {
        pending_.append(static_cast<const char*>(data), length);
        return true;
    }
    const BrokenPipeAsError guard;
    const int error = fileops::WriteAll(fd_, static_cast<const char*>(data), length);
    return error == 0 || FailWith(error);
}

bool SafeFileWriter::Commit() {
    if (fd_ < 0) return false;
    bool ok = failure_.problem == FileProblem::None;
    if (mode_ == Mode::Stream) {
        if (::close(std::exchange(fd_, -1)) != 0 && ok) ok = FailWith(errno);
    } else if (ok) {
        ok = mode_ == Mode::Replace ? CommitReplacement() : CommitOverwrite();
    }
    Discard();
    return ok;
}

bool SafeFileWriter::CommitReplacement() {
    if (::fsync(fd_) != 0) return FailWith(errno);
    if (tempName_.empty()) {
        // A new file takes its name at once. An existing one is replaced
        // through a name of its own, which it has only between these two
        // calls: a process killed there leaves that name, with the whole
        // new contents.
        std::string given;
        int error = existed_ ? EEXIST : fileops::NameUnnamed(fd_, folder_, name_, true, &given);
        if (error == EEXIST)
            error = fileops::NameUnnamed(fd_, folder_, TemporaryStem(), false, &given);
        if (error != 0) return FailWith(error);
        if (given != name_ && ::renameat(folder_, given.c_str(), folder_, name_.c_str()) != 0) {
            tempName_ = given;
            return FailWith(errno);
        }
    } else if (::renameat(folder_, tempName_.c_str(), folder_, name_.c_str()) != 0) {
        return FailWith(errno);
    }
    tempName_.clear();
    // Synced already: closing can lose nothing now.
    ::close(std::exchange(fd_, -1));
    fileops::SyncFolder(folder_);
    return true;
}

void SafeFileWriter::Discard(bool keepFolder) {
    Close(fd_);
    if (!tempName_.empty() && folder_ >= 0) ::unlinkat(folder_, tempName_.c_str(), 0);
    tempName_.clear();
    CloseAside();
    std::string().swap(pending_);
    if (!keepFolder) {
        Close(folder_);
        name_.clear();
        mode_ = Mode::None;
    }
}

// The name a replacement has for a moment, and where the file system has
// no files without a name, while it is written: "NAME.parlo.XXXXXX".
std::string SafeFileWriter::TemporaryStem() const { return name_ + ".parlo"; }

void IgnoreFileSizeSignal() { ::signal(SIGXFSZ, SIG_IGN); }

}  // namespace parlo
