#include "platform/posix/FileOps.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <ctime>
#include <vector>

namespace parlo::fileops {

namespace {

constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr size_t kSuffixLength = 6;

// Six letters or digits, unlikely to name anything there already.
std::string RandomSuffix() {
    unsigned char bytes[kSuffixLength] = {};
    if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
        static unsigned counter = 0;
        const unsigned seed = static_cast<unsigned>(::getpid()) * 2654435761u + ++counter;
        for (size_t i = 0; i < sizeof bytes; ++i)
            bytes[i] = static_cast<unsigned char>(seed >> i * 5);
    }
    std::string suffix;
    for (unsigned char b : bytes) suffix += kLetters[b % (sizeof kLetters - 1)];
    return suffix;
}

// The file systems that have no files without a name say so in one of
// these ways (EISDIR: kernels older than O_TMPFILE take it for O_DIRECTORY).
bool NoUnnamedFiles(int error) {
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL || error == ENOTSUP;
}

constexpr int kNameTries = 100;

}  // namespace

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

int WriteAllAt(int fd, const char* data, size_t length, off_t offset) {
    while (length > 0) {
        const ssize_t n = ::pwrite(fd, data, length, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? errno : EIO;
        data += n;
        length -= static_cast<size_t>(n);
        offset += n;
    }
    return 0;
}

int CopyContents(int from, int to, off_t length) {
    std::vector<char> buffer(1 << 16);
    for (off_t at = 0; at < length;) {
        const size_t want =
            static_cast<size_t>(std::min<off_t>(length - at, static_cast<off_t>(buffer.size())));
        const ssize_t n = ::pread(from, buffer.data(), want, at);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;  // shorter than it was a moment ago
        if (const int error = WriteAllAt(to, buffer.data(), static_cast<size_t>(n), at))
            return error;
        at += n;
    }
    return 0;
}

int CopyExtendedAttributes(int from, int to) {
    const ssize_t size = ::flistxattr(from, nullptr, 0);
    if (size < 0) return errno == ENOTSUP ? 0 : errno;
    std::vector<char> names(static_cast<size_t>(size));
    const ssize_t got = ::flistxattr(from, names.data(), names.size());
    if (got < 0) return errno;
    for (size_t at = 0; at < static_cast<size_t>(got);) {
        const char* name = names.data() + at;
        at += std::char_traits<char>::length(name) + 1;
        const ssize_t length = ::fgetxattr(from, name, nullptr, 0);
        if (length < 0) return errno;
        std::vector<char> value(static_cast<size_t>(length));
        const ssize_t read = ::fgetxattr(from, name, value.data(), value.size());
        if (read < 0) return errno;
        if (::fsetxattr(to, name, value.data(), static_cast<size_t>(read), 0) != 0) return errno;
    }
    return 0;
}

int CreateUnnamed(int folder, const std::string& stem, int access, unsigned mode, int* fd,
                  std::string* named) {
    named->clear();
    *fd = ::openat(folder, ".", O_TMPFILE | access | O_CLOEXEC, static_cast<mode_t>(mode));
    if (*fd >= 0) return 0;
    if (!NoUnnamedFiles(errno)) return errno;
    for (int i = 0; i < kNameTries; ++i) {
        const std::string name = stem + "." + RandomSuffix();
        *fd = ::openat(folder, name.c_str(), O_CREAT | O_EXCL | O_NOFOLLOW | access | O_CLOEXEC,
                       static_cast<mode_t>(mode));
        if (*fd >= 0) {
            *named = name;
            return 0;
        }
        if (errno != EEXIST) return errno;
    }
    return EEXIST;
}

int NameUnnamed(int fd, int folder, const std::string& name, bool exact, std::string* given) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    for (int i = 0; i < kNameTries; ++i) {
        const std::string candidate = exact ? name : name + "." + RandomSuffix();
        int linked = ::linkat(AT_FDCWD, self.c_str(), folder, candidate.c_str(), AT_SYMLINK_FOLLOW);
        // Without /proc: a way that needs a privilege.
        if (linked != 0 && errno == ENOENT && ::access("/proc/self/fd", F_OK) != 0)
            linked = ::linkat(fd, "", folder, candidate.c_str(), AT_EMPTY_PATH);
        if (linked == 0) {
            *given = candidate;
            return 0;
        }
        if (errno != EEXIST || exact) return errno;
    }
    return EEXIST;
}

void RemoveLeftovers(int folder, const std::string& stem, int minAge) {
    const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    DIR* entries = ::fdopendir(fd);
    if (entries == nullptr) {
        ::close(fd);
        return;
    }
    const std::string prefix = stem + ".";
    const time_t before = ::time(nullptr) - minAge;
    while (const dirent* e = ::readdir(entries)) {
        const std::string name = e->d_name;
        if (name.size() != prefix.size() + kSuffixLength ||
            name.compare(0, prefix.size(), prefix) != 0 ||
            name.find_first_not_of(kLetters, prefix.size()) != std::string::npos)
            continue;
        struct stat st {};
        if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == ::geteuid() && st.st_nlink == 1 && st.st_mtime <= before)
            ::unlinkat(folder, name.c_str(), 0);
    }
    ::closedir(entries);
}

void SyncFolder(int folder) {
    const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

std::string FolderPath(int folder) {
    std::vector<char> buffer(PATH_MAX + 1);
    const std::string self = "/proc/self/fd/" + std::to_string(folder);
    const ssize_t n = ::readlink(self.c_str(), buffer.data(), buffer.size() - 1);
    return n > 0 ? std::string(buffer.data(), static_cast<size_t>(n)) : std::string();
}

}  // namespace parlo::fileops
