#pragma once
// Replaces a file only once its new contents are complete: the contents go to
// a temporary file in the same folder, which is flushed, synced and renamed
// over the target. Until Commit succeeds the target stays as it was, and a
// writer that is not committed removes its temporary file.
#include <cstdio>
#include <string>

namespace parlo {

class SafeFileWriter {
public:
    SafeFileWriter() = default;
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Creates the temporary file; false when the folder cannot take it.
    bool Open(const std::string& path);
    std::FILE* Stream() { return stream_; }
    // Flushes, syncs and renames over the target; false on any failure, in
    // which case the temporary file is gone and the target untouched.
    bool Commit();
    // The system's error number (errno) of the step that failed; 0 when
    // nothing has failed.
    int Error() const { return error_; }

private:
    void Discard();

    std::string target_;
    std::string temp_;
    std::FILE* stream_ = nullptr;
    int error_ = 0;
};

}  // namespace parlo
