#include "platform/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace parlo {

namespace fs = std::filesystem;

namespace {

// The file that is really meant when the target is a symbolic link, so the
// link itself survives the rename.
std::string ResolveLink(const std::string& path) {
    std::error_code ec;
    if (fs::is_symlink(path, ec)) {
        fs::path resolved = fs::weakly_canonical(path, ec);
        if (!ec) return resolved.string();
    }
    return path;
}

mode_t ModeForNewFile() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

void SyncFolder(const std::string& file) {
    std::string dir = fs::path(file).parent_path().string();
    if (dir.empty()) dir = ".";
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

SafeFileWriter::~SafeFileWriter() { Discard(); }

bool SafeFileWriter::Open(const std::string& path) {
    Discard();
    error_ = 0;
    if (path.empty()) {
        error_ = ENOENT;
        return false;
    }
    target_ = ResolveLink(path);
    std::string pattern = target_ + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        error_ = errno;
        return false;
    }
    temp_ = name.data();
    struct stat st {};
    const mode_t mode = ::stat(target_.c_str(), &st) == 0 ? (st.st_mode & 07777) : ModeForNewFile();
    ::fchmod(fd, mode);
    stream_ = ::fdopen(fd, "wb");
    if (stream_ == nullptr) {
        error_ = errno;
        ::close(fd);
        Discard();
        return false;
    }
    return true;
}

bool SafeFileWriter::Commit() {
    if (stream_ == nullptr) return false;
    bool ok = std::fflush(stream_) == 0 && ::fsync(::fileno(stream_)) == 0;
    if (!ok) error_ = errno;
    if (std::fclose(stream_) != 0 && ok) {
        error_ = errno;
        ok = false;
    }
    stream_ = nullptr;
    if (ok && std::rename(temp_.c_str(), target_.c_str()) != 0) {
        error_ = errno;
        ok = false;
    }
    if (!ok) {
        Discard();
        return false;
    }
    temp_.clear();
    SyncFolder(target_);
    return true;
}

void SafeFileWriter::Discard() {
    if (stream_ != nullptr) {
        std::fclose(stream_);
        stream_ = nullptr;
    }
    if (!temp_.empty()) {
        std::remove(temp_.c_str());
        temp_.clear();
    }
}

}  // namespace parlo
