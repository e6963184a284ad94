#include "platform/posix/PathWalk.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <deque>
#include <utility>
#include <vector>

#include "platform/NumberText.h"

namespace parlo {

namespace {

// As many links as the system itself follows before it calls it a loop.
constexpr int kMaxLinkHops = 40;

// The components of a path, without empty ones and ".".
std::deque<std::string> Components(const std::string& path) {
    std::deque<std::string> parts;
    for (size_t at = 0; at <= path.size();) {
        size_t slash = path.find('/', at);
        if (slash == std::string::npos) slash = path.size();
        std::string part = path.substr(at, slash - at);
        if (!part.empty() && part != ".") parts.push_back(std::move(part));
        at = slash + 1;
    }
    return parts;
}

bool IsDigits(const std::string& s) {
    return !s.empty() && s.size() < 10 && s.find_first_not_of("0123456789") == std::string::npos;
}

// This process's /proc/self/fd, whose links stand for its descriptors.
bool IsOwnDescriptorFolder(const struct stat& folder) {
    struct stat own {};
    return ::stat("/proc/self/fd", &own) == 0 && own.st_dev == folder.st_dev &&
           own.st_ino == folder.st_ino;
}

FileFailure Failure(FileProblem problem) { return {problem, {}}; }

}  // namespace

PathWalk::~PathWalk() { SetFolder(-1); }

void PathWalk::SetFolder(int fd) {
    if (folder_ >= 0) ::close(folder_);
    folder_ = fd;
}

int PathWalk::TakeFolder() { return std::exchange(folder_, -1); }

FileFailure PathWalk::Walk(const std::string& path) {
    SetFolder(-1);
    name_.clear();
    exists_ = false;
    stat_ = {};
    descriptor_ = -1;
    hops_ = 0;
    if (path.empty()) return Failure(FileProblem::NotFound);
    std::deque<std::string> parts = Components(path);
    const bool endsInSlash = path.back() == '/';
    SetFolder(::open(path[0] == '/' ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (folder_ < 0) return FailureOfError(errno);
    while (!parts.empty()) {
        const std::string part = std::move(parts.front());
        parts.pop_front();
        const bool last = parts.empty();
        const int fd = ::openat(folder_, part.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            if (errno != ENOENT || !last) return FailureOfError(errno == ENOENT ? ENOTDIR : errno);
            name_ = part;
            return endsInSlash ? Failure(FileProblem::IsFolder) : FileFailure{};
        }
        struct stat st {};
        if (::fstat(fd, &st) != 0) {
            const int error = errno;
            ::close(fd);
            return FailureOfError(error);
        }
        if (S_ISLNK(st.st_mode)) {
            std::string text;
            const FileFailure followed = FollowLink(fd, st, part, &text);
            ::close(fd);
            if (followed.problem != FileProblem::None || descriptor_ >= 0) return followed;
            if (text[0] == '/') SetFolder(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
            if (folder_ < 0) return FailureOfError(errno);
            const std::deque<std::string> more = Components(text);
            parts.insert(parts.begin(), more.begin(), more.end());
            continue;
        }
        if (last && !S_ISDIR(st.st_mode)) {
            ::close(fd);
            name_ = part;
            exists_ = true;
            stat_ = st;
            return endsInSlash ? Failure(FileProblem::NoFolder) : FileFailure{};
        }
        if (!S_ISDIR(st.st_mode)) {
            ::close(fd);
            return Failure(FileProblem::NoFolder);
        }
        SetFolder(fd);
    }
    // "/", ".", "a/..", or a link to a folder.
    return Failure(FileProblem::IsFolder);
}

// The text of the link `fd` found as `name` in the current folder, if this
// user may follow it.
FileFailure PathWalk::FollowLink(int fd, const struct stat& link, const std::string& name,
                                 std::string* text) {
    if (++hops_ > kMaxLinkHops) return Failure(FileProblem::LinkLoop);
    struct stat folder {};
    if (::fstat(folder_, &folder) != 0) return FailureOfError(errno);
    if (IsDigits(name) && IsOwnDescriptorFolder(folder)) {
        descriptor_ = LeadingInteger(name);
        return {};
    }
    const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    if (shared && link.st_uid != ::geteuid() && link.st_uid != folder.st_uid)
        return Failure(FileProblem::LinkNotFollowed);
    std::vector<char> buffer(PATH_MAX + 1);
    const ssize_t n = ::readlinkat(fd, "", buffer.data(), buffer.size() - 1);
    if (n < 0) return FailureOfError(errno);
    if (n == 0) return FailureOfError(ENOENT);
    text->assign(buffer.data(), static_cast<size_t>(n));
    return {};
}

}  // namespace parlo
