#pragma once
// Saving a file without harming what is at its path. Symbolic links are
// followed first (a dangling link gets its target created), so a link
// survives a save. A regular file, or a name where nothing is yet, is
// replaced only once its new contents are complete: they go to a temporary
// file in the same folder, which is synced and renamed over the target, so
// a failed save leaves the previous file as it was. Anything else that takes
// bytes (a FIFO, a terminal or other character device, a socket, standard
// output) is opened and written in place. A folder is refused.
#include <cstddef>
#include <string>

namespace parlo {

// Why a file could not be opened, read or written.
enum class FileProblem {
    None,
    IsFolder,
    LinkLoop,
    NoFolder,
    NotFound,
    Denied,
    DiskFull,
    TooLarge,  // beyond the process's file-size limit
    ReaderGone,
    NotRegular,  // a pipe, device or socket where a file was wanted
    Other,
};

struct FileFailure {
    FileProblem problem = FileProblem::None;
    std::string detail;  // the system's own words, for Other
};

// What a system error number means for a file.
FileFailure FailureOfError(int error);

class SafeFileWriter {
public:
    // The path that names standard output.
    static constexpr const char* kStandardOutput = "-";

    SafeFileWriter() = default;
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Prepares the save; false (with Failure() set) when the path cannot
    // take it.
    bool Open(const std::string& path);
    // False, with Failure() set, once any write has failed.
    bool Write(const void* data, size_t length);
    // Completes the save: a replacement is synced and renamed over the
    // target; a file written in place is closed. False on any failure, in
    // which case a temporary file is gone and a replaced target untouched.
    bool Commit();

    // True when the target is written in place rather than replaced.
    bool InPlace() const { return inPlace_; }
    const FileFailure& Failure() const { return failure_; }

private:
    bool Fail(FileProblem problem);
    bool FailWith(int error);
    bool ResolveTarget(const std::string& path);
    bool OpenTemporary(unsigned mode);
    bool OpenInPlace(const std::string& path, bool socket);
    void Discard();

    std::string target_;
    std::string temp_;
    int fd_ = -1;
    bool inPlace_ = false;
    FileFailure failure_;
};

// Lets a write beyond the process's file-size limit fail with an error that
// a save reports, instead of the signal that ends the process.
void IgnoreFileSizeSignal();

}  // namespace parlo
