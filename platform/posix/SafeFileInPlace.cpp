// Writing a regular file in place, for the files a replacement would harm.
// Its contents are copied aside and synced first, then overwritten; a
// failed write puts them back. A process killed while it writes leaves the
// copy behind, whole, beside the file or in the folders named below.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/SafeFile.h"
#include "platform/posix/FileOps.h"

namespace parlo {

namespace {

// Where a copy of the earlier contents can go when not beside the file.
std::vector<std::string> OtherAsideFolders() {
    std::vector<std::string> folders;
    const char* data = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (data != nullptr && data[0] == '/')
        folders.push_back(std::string(data) + "/parlo");
    else if (home != nullptr && home[0] == '/')
        folders.push_back(std::string(home) + "/.local/share/parlo");
    const char* tmp = std::getenv("TMPDIR");
    folders.push_back(tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp");
    return folders;
}

// The folder at `path`, made (for this user only) where it is missing.
int OpenFolder(const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        ::mkdir(path.substr(0, slash).c_str(), 0700);
        if (slash == std::string::npos) break;
    }
    return ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

void Close(int& fd) {
    if (fd >= 0) ::close(std::exchange(fd, -1));
}

}  // namespace

bool SafeFileWriter::OpenOverwrite() {
    mode_ = Mode::Overwrite;
    // Read too: the contents are copied aside before they are overwritten.
    fd_ = ::openat(folder_, name_.c_str(), O_RDWR | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    return fd_ >= 0 || FailWith(errno);
}

bool SafeFileWriter::CommitOverwrite() {
    const off_t size = static_cast<off_t>(pending_.size());
    // What would fail part-way fails here, before anything is touched: the
    // file-size limit, and room on the disk where it can be reserved.
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        static_cast<rlim_t>(size) > limit.rlim_cur)
        return FailWith(EFBIG);
    if (size > 0 && ::fallocate(fd_, FALLOC_FL_KEEP_SIZE, 0, size) != 0 && errno != EOPNOTSUPP &&
        errno != ENOSYS)
        return FailWith(errno);
    if (!CopyAside()) return false;
    int error = fileops::WriteAllAt(fd_, pending_.data(), pending_.size(), 0);
    if (error == 0 && ::ftruncate(fd_, size) != 0) error = errno;
    if (error == 0 && ::fsync(fd_) != 0) error = errno;
    if (error == 0) {
        DropAside();
        return true;
    }
    FailWith(error);
    earlierKept_ = PutBack();
    if (earlierKept_)
        DropAside();
    else
        earlierCopy_ = asidePath_;
    return false;
}

// A synced copy of the file under a name of its own: beside the file, else
// in the user's data folder, else in the temporary folder.
bool SafeFileWriter::CopyAside() {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return FailWith(errno);
    int error = 0;
    std::vector<std::string> others = OtherAsideFolders();
    for (size_t i = 0; i <= others.size(); ++i) {
        asideFolder_ = i == 0 ? ::fcntl(folder_, F_DUPFD_CLOEXEC, 3) : OpenFolder(others[i - 1]);
        const std::string stem = name_ + ".earlier";
        std::string named;
        if (asideFolder_ < 0) {
            error = errno;
        } else if ((error = fileops::CreateUnnamed(asideFolder_, stem, O_RDWR, 0600, &asideFd_,
                                                   &named)) == 0) {
            asideName_ = named;
            error = fileops::CopyContents(fd_, asideFd_, st.st_size);
            if (error == 0 && ::fsync(asideFd_) != 0) error = errno;
            if (error == 0 && named.empty())
                error = fileops::NameUnnamed(asideFd_, asideFolder_, stem, false, &asideName_);
            if (error == 0) {
                fileops::SyncFolder(asideFolder_);
                asidePath_ = fileops::FolderPath(asideFolder_) + "/" + asideName_;
                return true;
            }
        }
        // Not there: a named copy cut short is of no use.
        if (!named.empty()) ::unlinkat(asideFolder_, named.c_str(), 0);
        CloseAside();
    }
    return FailWith(error);
}

// The earlier contents written back over a write that failed.
bool SafeFileWriter::PutBack() {
    struct stat st {};
    return ::fstat(asideFd_, &st) == 0 && fileops::CopyContents(asideFd_, fd_, st.st_size) == 0 &&
           ::ftruncate(fd_, st.st_size) == 0 && ::fsync(fd_) == 0;
}

void SafeFileWriter::DropAside() {
    if (asideFolder_ >= 0 && !asideName_.empty()) ::unlinkat(asideFolder_, asideName_.c_str(), 0);
    CloseAside();
}

void SafeFileWriter::CloseAside() {
    Close(asideFd_);
    Close(asideFolder_);
    asideName_.clear();
}

}  // namespace parlo
