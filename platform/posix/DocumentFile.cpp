#include "platform/DocumentFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace parlo {

namespace {

FileFailure ProblemOfStatus(const struct stat& st) {
    if (S_ISDIR(st.st_mode)) return {FileProblem::IsFolder, {}};
    if (!S_ISREG(st.st_mode)) return {FileProblem::NotRegular, {}};
    return {};
}

}  // namespace

FileFailure DocumentFileProblem(const std::string& path) {
    if (path.empty()) return {FileProblem::NotFound, {}};
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return FailureOfError(errno);
    if (FileFailure why = ProblemOfStatus(st); why.problem != FileProblem::None) return why;
    if (::access(path.c_str(), R_OK) != 0) return FailureOfError(errno);
    return {};
}

std::FILE* OpenDocumentFile(const std::string& path, FileFailure* why) {
    *why = DocumentFileProblem(path);
    if (why->problem != FileProblem::None) return nullptr;
    // Not blocking, in case the name was given to a FIFO since the check;
    // the open file is checked again.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *why = FailureOfError(errno);
        return nullptr;
    }
    struct stat st {};
    *why = ::fstat(fd, &st) == 0 ? ProblemOfStatus(st) : FailureOfError(errno);
    if (why->problem == FileProblem::None) {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0) {
            if (std::FILE* f = ::fdopen(fd, "rb")) return f;
        }
        *why = FailureOfError(errno);
    }
    ::close(fd);
    return nullptr;
}

}  // namespace parlo
