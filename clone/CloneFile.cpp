#include "clone/CloneFile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "platform/DocumentFile.h"
#include "platform/NumberText.h"

namespace parlo {

namespace {

// The value of each character as a hexadecimal digit, -1 for none.
constexpr std::array<int8_t, 256> kHexValues = [] {
    std::array<int8_t, 256> values{};
    for (int c = 0; c < 256; ++c) {
        values[static_cast<size_t>(c)] = c >= '0' && c <= '9'   ? static_cast<int8_t>(c - '0')
                                         : c >= 'A' && c <= 'F' ? static_cast<int8_t>(c - 'A' + 10)
                                         : c >= 'a' && c <= 'f' ? static_cast<int8_t>(c - 'a' + 10)
                                                                : int8_t{-1};
    }
    return values;
}();

int HexValue(char c) { return kHexValues[static_cast<unsigned char>(c)]; }

int HexField(const std::string& s, size_t at, size_t digits) {
    int v = 0;
    for (size_t i = 0; i < digits; ++i) v = v * 16 + HexValue(s[at + i]);
    return v;
}

// Reads one line of at most `limit` characters. A CR before the LF, or at
// the very end of the file, is part of the line end. Returns false at the end
// of the file; *ended tells whether a line end closed the line. The caller
// holds the stream's lock (FileLock): a character at a time under a lock of
// its own is slow in a program with threads, and files may be megabytes.
bool ReadLine(std::FILE* f, size_t limit, std::string* line, bool* ended) {
    std::array<char, CloneFile::kLineBuffer> text;
    limit = std::min(limit, text.size());
    size_t length = 0;
    *ended = false;
    int c;
    while (length < limit && (c = getc_unlocked(f)) != EOF) {
        if (c == '\n') {
            *ended = true;
            break;
        }
        text[length++] = static_cast<char>(c);
    }
    line->assign(text.data(), length);
    if (line->empty() && !*ended) return false;
    if (!line->empty() && line->back() == '\r' && (*ended || std::feof(f))) {
        line->pop_back();
        *ended = true;
    }
    return true;
}

// Holds a stream's lock while its lines are read.
class FileLock {
public:
    explicit FileLock(std::FILE* f) : f_(f) { flockfile(f_); }
    ~FileLock() { funlockfile(f_); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    std::FILE* f_;
};

}  // namespace

void CloneFile::Attach(EepromImage& image) {
    image_ = &image;
    const size_t length = static_cast<size_t>((image.GetSize() + 7) / 8);
    expected_.assign(length, 0);
    loaded_.assign(length, 0);
    MarkRun(expected_, 0, image.GetSize());
}

void CloneFile::MarkRun(std::vector<uint8_t>& map, int32_t a, int32_t n) {
    if (a < 0 || n <= 0) return;
    const int64_t lastByte = (static_cast<int64_t>(a) + n - 1) / 8;
    if (lastByte >= static_cast<int64_t>(map.size())) return;
    // Bit by bit up to a byte boundary, then whole bytes, then the rest.
    const int64_t end = static_cast<int64_t>(a) + n;
    int64_t i = a;
    const auto mark = [&map](int64_t bit) {
        map[static_cast<size_t>(bit / 8)] |= static_cast<uint8_t>(1u << (bit % 8));
    };
    for (; i < end && i % 8 != 0; ++i) mark(i);
    for (; i + 8 <= end; i += 8) map[static_cast<size_t>(i / 8)] = 0xFF;
    for (; i < end; ++i) mark(i);
}

std::string CloneFile::Contents(const RangeList& ranges) {
    std::string text = HexText(static_cast<unsigned>(modelCode_) & 0xFFFF, 4) +
                       HexText(static_cast<unsigned>(extraCode_) & 0xFFFF, 4) + "\r\n";
    text += "#Comment=" + comment_ + "\r\n";
    text += "#MapRev=" + IntegerText(mapRevision_) + "\r\n";
    ForEachRange(ranges, *image_, [&](int32_t first, int32_t last) {
        for (int32_t c = first; c <= last;) {
            int32_t n = kBytesPerLine - c % kBytesPerLine;
            if (n > last - c + 1) n = last - c + 1;
            text += HexText(static_cast<unsigned>(c), 4) + HexText(static_cast<unsigned>(n), 2);
            for (int32_t i = 0; i < n; ++i) text += HexText(image_->GetByte(c + i), 2);
            text += "\r\n";
            c += n;
        }
    });
    return text;
}

FileOutcome CloneFile::Write(const std::string& path, const RangeList& ranges) {
    SafeFileWriter out;
    if (image_ == nullptr || !out.Open(path)) return WriteFailed(kFileErrOpen, path, out);
    return Write(out, path, ranges);
}

FileOutcome CloneFile::Write(SafeFileWriter& opened, const std::string& path,
                             const RangeList& ranges) {
    if (image_ == nullptr) return WriteFailed(kFileErrOpen, path, opened);
    const std::string text = Contents(ranges);
    // Committed even after a failed write, which removes the temporary file
    // before the message is shown.
    const bool written = opened.Write(text.data(), text.size());
    if (!opened.Commit() || !written) return WriteFailed(kFileErrAccess, path, opened);
    return {};
}

FileOutcome CloneFile::WriteFailed(uint8_t code, const std::string& path,
                                   const SafeFileWriter& out) {
    failure_ = out.Failure();
    return {code, SaveErrorText(code, path, out)};
}

uint8_t CloneFile::ParseDataLine(const std::string& line) {
    const size_t length = line.size();
    if (length < 8 || length > 516) return kFileErrFormat;
    for (char c : line) {
        if (HexValue(c) < 0) return kFileErrFormat;
    }
    const int32_t address = HexField(line, 0, 4);
    const int32_t count = HexField(line, 4, 2);
    if (length != 6 + 2 * static_cast<size_t>(count)) return kFileErrFormat;
    if (!image_->IsValidAddress(address) || !image_->IsValidAddress(address + count - 1))
        return kFileErrData;
    for (int32_t i = 0; i < count; ++i)
        lineBytes_[static_cast<size_t>(i)] =
            static_cast<uint8_t>(HexField(line, 6 + 2 * static_cast<size_t>(i), 2));
    image_->WriteBlock(address, lineBytes_.data(), count);
    MarkRun(loaded_, address, count);
    return kFileOk;
}

uint8_t CloneFile::ReadLines(std::FILE* f) {
    const FileLock lock(f);
    std::string line;
    bool ended = false;
    if (!ReadLine(f, kLineBuffer - 1, &line, &ended)) return kFileErrFormat;
    // The header is exactly eight decimal digits and its line end; the two
    // groups are read as hexadecimal numbers.
    if (line.size() != 8 || !ended) return kFileErrFormat;
    for (char c : line) {
        if (c < '0' || c > '9') return kFileErrFormat;
    }
    const int32_t model = HexField(line, 0, 4);
    const int32_t extra = HexField(line, 4, 4);
    headerModel_ = model;
    headerExtra_ = extra;
    if (headerCheck_) {
        uint8_t code = kFileOk;
        if (!headerCheck_(model, extra, code)) return code;
    } else {
        if (model != modelCode_) return kFileErrModel;
        if (extra != extraCode_) return kFileErrExtra;
    }

    bool firstData = true;
    bool seenComment = false;
    while (ReadLine(f, kLineBuffer - 1, &line, &ended)) {
        if (!line.empty() && line[0] == '#') {
            if (line.find("MapRev=", 1) != std::string::npos)
                mapRevision_ =
                    line.size() > 8 ? LeadingInteger(std::string_view(line).substr(8)) : 0;
            else if (!seenComment && line.rfind("#Comment=", 0) == 0)
                fileComment_ = line.substr(9), seenComment = true;
            continue;
        }
        if (firstData) {
            firstData = false;
            if (!mapRevisionCheck_ || !mapRevisionCheck_(mapRevision_)) return kFileErrMapRev;
        }
        if (const uint8_t code = ParseDataLine(line); code != kFileOk) return code;
    }
    if (std::ferror(f)) {
        failure_ = FailureOfError(errno);
        return kFileErrOpen;
    }
    return kFileOk;
}

FileOutcome CloneFile::Read(const std::string& path, const RangeList* ranges) {
    if (image_ == nullptr) return {kFileErrOpen, FileErrorText(kFileErrOpen, path)};
    const EepromImage before = *image_;
    std::fill(loaded_.begin(), loaded_.end(), 0);
    headerModel_ = headerExtra_ = -1;
    fileComment_.clear();
    failure_ = {};
    uint8_t code = kFileErrOpen;
    const bool standardInput = path == kStandardInput;
    if (std::FILE* f = standardInput ? stdin : OpenDocumentFile(path, &failure_)) {
        code = ReadLines(f);
        if (code == kFileOk && ranges != nullptr) code = CheckCoverage(ranges);
        if (!standardInput) std::fclose(f);
    }
    if (code == kFileOk) return {};
    image_->Assign(before);
    return {code, FileErrorText(code, path, failure_)};
}

uint8_t CloneFile::CheckCoverage(const RangeList* ranges) {
    if (ranges == nullptr || image_ == nullptr || expected_.empty()) return kFileErrCoverage;
    std::fill(expected_.begin(), expected_.end(), 0);
    ForEachRange(*ranges, *image_,
                 [&](int32_t first, int32_t last) { MarkRun(expected_, first, last - first + 1); });
    if (loaded_ == expected_) return kFileOk;
    for (size_t i = 0; i < loaded_.size(); ++i) {
        if (loaded_[i] & ~expected_[i]) return kFileErrData;
    }
    return kFileErrCoverage;
}

}  // namespace parlo
