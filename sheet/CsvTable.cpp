#include "sheet/CsvTable.h"

#include <array>

namespace parlo {

namespace {

constexpr size_t kChunk = 64 * 1024;

}  // namespace

CsvReader::CsvReader(Source source, char separator)
    : source_(std::move(source)), separator_(separator) {}

CsvReader::CsvReader(std::string_view text, char separator)
    : text_(text), ended_(true), separator_(separator) {}

bool CsvReader::Fill(size_t needed) {
    if (!source_) return false;
    if (pos_ > 0) {
        buffer_.erase(0, pos_);
        consumed_ += pos_;
        needed -= pos_;
        pos_ = 0;
    }
    while (buffer_.size() < needed && !ended_) {
        const size_t had = buffer_.size();
        buffer_.resize(had + kChunk);
        const size_t got = source_(buffer_.data() + had, kChunk);
        buffer_.resize(had + got);
        ended_ = got == 0;
    }
    text_ = buffer_;
    return buffer_.size() >= needed;
}

int CsvReader::Peek(size_t ahead) {
    if (pos_ + ahead >= text_.size() && !Fill(pos_ + ahead + 1)) return -1;
    return static_cast<unsigned char>(text_[pos_ + ahead]);
}

// The first line's separator: counted outside quotes, up to its end.
void CsvReader::DetectSeparator() {
    std::array<size_t, 3> counts{};
    const char candidates[] = {',', ';', '\t'};
    bool quoted = false;
    for (size_t i = 0; i < kLongestRecord; ++i) {
        const int c = Peek(i);
        if (c < 0 || (!quoted && (c == '\n' || c == '\r'))) break;
        if (c == '"') quoted = !quoted;
        for (size_t k = 0; k < counts.size(); ++k) counts[k] += !quoted && c == candidates[k];
    }
    size_t best = 0;
    for (size_t k = 1; k < counts.size(); ++k) {
        if (counts[k] > counts[best]) best = k;
    }
    separator_ = candidates[best];
}

bool CsvReader::AtLineEnd() {
    // A CR ends a line before LF and at the end of the text.
    const int c = Peek();
    return c == '\n' || (c == '\r' && (Peek(1) == '\n' || Peek(1) < 0));
}

void CsvReader::SkipLineEnd() {
    pos_ += Peek() == '\r' && Peek(1) == '\n' ? 2 : 1;
    ++line_;
}

bool CsvReader::Fail(int line, const char* what) {
    error_ = "line " + std::to_string(line) + ": " + what;
    return false;
}

bool CsvReader::ReadQuoted(std::string& field) {
    const int start = line_;
    ++pos_;
    for (;;) {
        const int c = Peek();
        if (c < 0) return Fail(start, "a quoted field is not closed");
        if (consumed_ + pos_ - recordStart_ >= kLongestRecord)
            return Fail(start, "the record is longer than 1 MB");
        ++pos_;
        if (c == '"') {
            if (Peek() != '"') return true;
            ++pos_;
        } else if (c == '\n') {
            ++line_;
        }
        field += static_cast<char>(c);
    }
}

bool CsvReader::ReadField(std::string& field) {
    if (Peek() == '"') return ReadQuoted(field);
    for (int c = Peek(); c >= 0 && c != separator_ && !AtLineEnd(); c = Peek()) {
        if (c == '"') return Fail(line_, "a quote inside a field that does not start with one");
        if (consumed_ + pos_ - recordStart_ >= kLongestRecord)
            return Fail(line_, "the record is longer than 1 MB");
        field += static_cast<char>(c);
        ++pos_;
    }
    return true;
}

bool CsvReader::Next(CsvRecord* record) {
    if (!error_.empty()) return false;
    if (!started_) {
        started_ = true;
        if (Peek() == 0xEF && Peek(1) == 0xBB && Peek(2) == 0xBF) pos_ = 3;
        if (separator_ == 0) DetectSeparator();
    }
    for (;;) {
        if (Peek() < 0) return false;
        record->line = line_;
        record->fields.clear();
        recordStart_ = consumed_ + pos_;
        for (;;) {
            std::string field;
            if (!ReadField(field)) return false;
            record->fields.push_back(std::move(field));
            if (Peek() < 0) break;
            if (AtLineEnd()) {
                SkipLineEnd();
                break;
            }
            if (Peek() != separator_) return Fail(line_, "text after a closing quote");
            ++pos_;
        }
        // An empty line is no record.
        if (record->fields.size() > 1 || !record->fields.front().empty()) return true;
    }
}

bool CsvTable::Read(const std::string& text, char separator, std::vector<CsvRecord>* records,
                    std::string* error) {
    records->clear();
    CsvReader reader(std::string_view(text), separator);
    CsvRecord record;
    while (reader.Next(&record)) records->push_back(std::move(record));
    *error = reader.Error();
    return error->empty();
}

std::string CsvTable::Field(const std::string& text, char separator) {
    const bool blankEnds = !text.empty() && (text.front() == ' ' || text.back() == ' ');
    if (!blankEnds && text.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string CsvTable::Line(const std::vector<std::string>& record, char separator,
                           const char* lineEnd) {
    std::string out;
    for (size_t i = 0; i < record.size(); ++i) {
        if (i > 0) out += separator;
        out += Field(record[i], separator);
    }
    return out + lineEnd;
}

std::string CsvTable::Write(const std::vector<std::vector<std::string>>& records, char separator,
                            const char* lineEnd) {
    std::string out;
    for (const auto& record : records) out += Line(record, separator, lineEnd);
    return out;
}

}  // namespace parlo
