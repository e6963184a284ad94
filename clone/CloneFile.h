#pragma once
// Clone files: an EEPROM image as text (header, comment, map revision, then
// hexadecimal data lines). Reads check the header, the map revision, every
// line and, on request, that exactly the required addresses are supplied.
#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "clone/RangeList.h"
#include "model/EepromImage.h"
#include "platform/SafeFile.h"

namespace parlo {

// File error codes; each has its own overlay text.
enum FileError : uint8_t {
    kFileOk = 0,
    kFileErrOpen = 1,
    kFileErrAccess = 2,
    kFileErrModel = 3,
    kFileErrExtra = 4,
    kFileErrMapRev = 5,
    kFileErrFormat = 6,
    kFileErrCoverage = 7,
    kFileErrData = 8,
    kFileErrNewer = 9,
};

// The overlay key of a file error's reason text; empty for 0 and unknown codes.
const char* FileErrorKey(int code);
// The message of a file that could not be used, for codes 1..9 (empty
// otherwise): a head line naming the file, a blank line, the code's reason
// and, when known, why the file could not be opened or read.
std::string FileErrorText(int code, const std::string& path, const FileFailure& why = {});
// Why a file could not be opened, read or written, in a line of plain words
// (empty when the system did not say).
std::string FileFailureText(const FileFailure& why);
// Why a save failed, in plain words, and, once it had begun writing, what
// became of the earlier file at its path.
std::string SaveFailureText(const SafeFileWriter& out, bool begun);
// The message of a save that failed (codes 1 and 2): a head line naming the
// file, the reason, why, and, after it failed part-way, that the earlier
// file was kept or where a copy of it is.
std::string SaveErrorText(int code, const std::string& path, const SafeFileWriter& out);

// What a clone file operation came to: its code and, when it failed, the
// message that says so. The application shows the message; this layer
// shows nothing.
struct FileOutcome {
    uint8_t code = kFileOk;
    std::string message;  // empty on success

    bool Ok() const { return code == kFileOk; }
};

class CloneFile {
public:
    using MapRevisionCheck = std::function<bool(int32_t revision)>;
    using HeaderCheck = std::function<bool(int32_t model, int32_t extra, uint8_t& code)>;

    CloneFile() = default;

    void Attach(EepromImage& image);
    void SetModelCode(int32_t code) { modelCode_ = code; }
    void SetExtraCode(int32_t code) { extraCode_ = code; }
    void SetComment(const std::string& comment) { comment_ = comment; }
    void SetMapRevision(int32_t revision) { mapRevision_ = revision; }
    void SetMapRevisionCheck(MapRevisionCheck check) { mapRevisionCheck_ = std::move(check); }
    void SetHeaderCheck(HeaderCheck check) { headerCheck_ = std::move(check); }

    int32_t MapRevision() const { return mapRevision_; }
    // What the last Read found in the file's header and first comment line
    // (for display only; reading does not judge the comment).
    int32_t HeaderModel() const { return headerModel_; }
    int32_t HeaderExtra() const { return headerExtra_; }
    const std::string& FileComment() const { return fileComment_; }
    int32_t ModelCode() const { return modelCode_; }
    int32_t ExtraCode() const { return extraCode_; }
    // Why the last Read or Write could not open, read or write the file.
    const FileFailure& Failure() const { return failure_; }

    // Writes the ranges of the attached image. A regular file is replaced
    // only once the whole file is written and synced, so on failure it stays
    // as it was; a special file (FIFO, device, standard output as "-") is
    // written in place. A failure comes with SaveErrorText.
    FileOutcome Write(const std::string& path, const RangeList& ranges);
    // The same into a save the caller has opened on `path` already, so that
    // a path that cannot take the file is found before its contents exist.
    FileOutcome Write(SafeFileWriter& opened, const std::string& path, const RangeList& ranges);

    // The path that names standard input.
    static constexpr const char* kStandardInput = "-";

    // Reads a file (standard input as "-") into the attached image; with a
    // range list, ends with CheckCoverage. A failure leaves the image
    // exactly as it was. A failure comes with FileErrorText.
    FileOutcome Read(const std::string& path, const RangeList* ranges);

    // Compares the addresses the last Read supplied with the list.
    uint8_t CheckCoverage(const RangeList* ranges);

    static constexpr int kBytesPerLine = 16;
    static constexpr size_t kLineBuffer = 768;

private:
    uint8_t ReadLines(std::FILE* f);
    uint8_t ParseDataLine(std::string_view line);
    std::string Contents(const RangeList& ranges);
    void MarkRun(std::vector<uint8_t>& map, int32_t a, int32_t n);
    FileOutcome WriteFailed(uint8_t code, const std::string& path, const SafeFileWriter& out);

    EepromImage* image_ = nullptr;
    int32_t modelCode_ = 0;
    int32_t extraCode_ = 0;
    std::string comment_;
    int32_t mapRevision_ = -1;
    MapRevisionCheck mapRevisionCheck_;
    HeaderCheck headerCheck_;
    int32_t headerModel_ = -1;
    int32_t headerExtra_ = -1;
    std::string fileComment_;
    FileFailure failure_;
    std::vector<uint8_t> expected_;
    std::vector<uint8_t> loaded_;
    std::array<uint8_t, 255> lineBytes_{};  // a data line's bytes, decoded
};

}  // namespace parlo
