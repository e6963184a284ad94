#include "clone/CloneFile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

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

int HexField(std::string_view s, size_t at, size_t digits) {
    int v = 0;
    for (size_t i = 0; i < digits; ++i) v = v * 16 + HexValue(s[at + i]);
    return v;
}

// The lines of a stream, read in blocks: a file of megabytes costs about
// what reading its bytes costs. A line is at most `limit` characters (the
// rest of a longer one is the next line); a CR before the LF, or at the very
// end of the stream, is part of the line end.
class LineReader {
public:
    explicit LineReader(std::FILE* f) : f_(f), block_(size_t{64} << 10) {}

    // The next line, valid until the next call; false at the end of the
    // stream. *ended tells whether a line end closed the line.
    bool Next(size_t limit, std::string_view* line, bool* ended) {
        *ended = false;
        spill_.clear();
        bool spilled = false;
        bool atEnd = false;
        std::string_view taken;
        for (;;) {
            if (at_ == end_ && !Refill()) {
                atEnd = true;
                break;
            }
            const size_t room = limit - (spilled ? spill_.size() : 0);
            const size_t available = std::min(end_ - at_, room);
            const char* from = block_.data() + at_;
            const auto* lf = static_cast<const char*>(std::memchr(from, '\n', available));
            const size_t length = lf != nullptr ? static_cast<size_t>(lf - from) : available;
            at_ += length + (lf != nullptr ? 1 : 0);
            *ended = lf != nullptr;
            if (*ended || length == room) {
                if (!spilled) taken = std::string_view(from, length);
                else spill_.append(from, length);
                break;
            }
            // The line goes on in the next block.
            spill_.append(from, length);
            spilled = true;
        }
        *line = spilled ? std::string_view(spill_) : taken;
        if (line->empty() && !*ended) return false;
        if (!line->empty() && line->back() == '\r' && (*ended || atEnd)) {
            line->remove_suffix(1);
            *ended = true;
        }
        return true;
    }

private:
    bool Refill() {
        at_ = 0;
        end_ = std::fread(block_.data(), 1, block_.size(), f_);
        return end_ > 0;
    }

    std::FILE* f_;
    std::vector<char> block_;
    size_t at_ = 0, end_ = 0;
    std::string spill_;  // a line across two blocks
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

uint8_t CloneFile::ParseDataLine(std::string_view line) {
    const size_t length = line.size();
    if (length < 8 || length > 516) return kFileErrFormat;
    // A character that is no digit has the sign bit set: one pass checks
    // and decodes.
    int8_t digits = 0;
    for (size_t i = 0; i < 6; ++i)
        digits = static_cast<int8_t>(digits | kHexValues[static_cast<unsigned char>(line[i])]);
    if (digits < 0) return kFileErrFormat;
    const int32_t address = HexField(line, 0, 4);
    const int32_t count = HexField(line, 4, 2);
    if (length != 6 + 2 * static_cast<size_t>(count)) return kFileErrFormat;
    const auto* pair = reinterpret_cast<const unsigned char*>(line.data()) + 6;
    for (int32_t i = 0; i < count; ++i, pair += 2) {
        const int8_t high = kHexValues[pair[0]], low = kHexValues[pair[1]];
        digits = static_cast<int8_t>(digits | high | low);
        lineBytes_[static_cast<size_t>(i)] =
            static_cast<uint8_t>((high & 0x0F) << 4 | (low & 0x0F));
    }
    if (digits < 0) return kFileErrFormat;
    if (!image_->IsValidAddress(address) || !image_->IsValidAddress(address + count - 1))
        return kFileErrData;
    image_->WriteBlock(address, lineBytes_.data(), count);
    MarkRun(loaded_, address, count);
    return kFileOk;
}

uint8_t CloneFile::ReadLines(std::FILE* f) {
    LineReader lines(f);
    std::string_view line;
    bool ended = false;
    if (!lines.Next(kLineBuffer - 1, &line, &ended)) return kFileErrFormat;
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
    while (lines.Next(kLineBuffer - 1, &line, &ended)) {
        if (!line.empty() && line[0] == '#') {
            if (line.find("MapRev=", 1) != std::string_view::npos)
                mapRevision_ = line.size() > 8 ? LeadingInteger(line.substr(8)) : 0;
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
