#pragma once
// Saving a file without harming what is at its path or what the system
// protects there. The path is followed one folder at a time, symbolic links
// as the system follows them, except another user's link in a sticky
// folder that anyone may write to. A file the user may not write, or that
// has no write permission at all, is refused.
//
// A regular file, or a name where nothing is yet, gets its new contents in
// a file of no name in the same folder, which takes the owner, group, mode
// and extended attributes (access lists) of the file it replaces, is synced
// and only then takes the file's name; a failed save, or a process killed
// on the way, leaves the previous file as it was and no other file behind.
// Where a replacement would harm the file (it has other hard links, its
// owner or attributes cannot be given to a new file, or its folder may not
// be written), the file is written in place instead: its contents are first
// copied aside (beside it, else into the user's data folder, else the
// temporary folder) and synced; a failed write puts them back; only a
// process killed while writing leaves that copy, whole, behind.
//
// Anything else that takes bytes (a FIFO, a terminal or other character
// device, a socket, standard output) is opened and written in place as a
// stream. A folder is refused.
#include <sys/stat.h>

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
    WriteProtected,   // no one may write it, or this user may not
    LinkNotFollowed,  // another user's symbolic link in a shared sticky folder
};

struct FileFailure {
    FileProblem problem = FileProblem::None;
    std::string detail;  // the system's own words, for Other
};

// What a system error number means for a file.
FileFailure FailureOfError(int error);
// The whole of a file in *text, or why it could not be read.
FileFailure ReadWholeFile(const std::string& path, std::string* text);

class SafeFileWriter {
public:
    // The path that names standard output.
    static constexpr const char* kStandardOutput = "-";

    SafeFileWriter() = default;
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Prepares the save and opens what it writes to, so that a path that
    // cannot take it fails here, before the caller does any long work;
    // false (with Failure() set) then. Nothing at the path changes yet.
    bool Open(const std::string& path);
    // False, with Failure() set, once any write has failed.
    bool Write(const void* data, size_t length);
    // Completes the save. False on any failure; then EarlierKept() says
    // whether what was at the path is still there as it was.
    bool Commit();

    // True when the target is a stream, written as the bytes come.
    bool InPlace() const { return mode_ == Mode::Stream; }
    const FileFailure& Failure() const { return failure_; }
    // After a failed Commit: the earlier file at the path is whole and
    // unchanged (always, unless it was a stream or EarlierCopy() is set).
    bool EarlierKept() const { return earlierKept_; }
    // After a failed in-place write whose earlier contents could not be put
    // back: the file that holds them.
    const std::string& EarlierCopy() const { return earlierCopy_; }

private:
    enum class Mode { None, Stream, Replace, Overwrite };

    bool Fail(FileProblem problem);
    bool FailWith(int error);
    bool OpenStream(int descriptor, const std::string& path, bool socket);
    bool OpenRegular(const struct stat& target);
    bool OpenReplacement(unsigned mode);
    bool KeepAttributes(int target, const struct stat& st);
    bool OpenOverwrite();
    bool CommitReplacement();
    bool CommitOverwrite();
    bool CopyAside();
    bool PutBack();
    void DropAside();
    void CloseAside();
    void Discard(bool keepFolder = false);
    std::string TemporaryStem() const;

    Mode mode_ = Mode::None;
    int folder_ = -1;       // holds the target (O_PATH)
    std::string name_;      // the target's name in it
    std::string path_;      // as given, for messages
    bool existed_ = false;  // the target was there at Open
    int fd_ = -1;           // the stream, the replacement, or the target itself
    std::string tempName_;  // a replacement with a name (no O_TMPFILE there)
    std::string pending_;   // what an in-place write will write
    int asideFolder_ = -1;  // the copy of what an in-place write overwrites
    int asideFd_ = -1;
    std::string asideName_;
    std::string asidePath_;
    bool earlierKept_ = true;
    std::string earlierCopy_;
    FileFailure failure_;
};

// Lets a write beyond the process's file-size limit fail with an error that
// a save reports, instead of the signal that ends the process.
void IgnoreFileSizeSignal();

}  // namespace parlo
