#include "sheet/CsvTable.h"

namespace parlo {

namespace {

// Reads the records of a text, one character at a time.
class CsvReader {
public:
    CsvReader(const std::string& text, char separator) : text_(text), separator_(separator) {
        if (text_.compare(0, 3, "\xEF\xBB\xBF") == 0) pos_ = 3;
    }

    bool ReadAll(std::vector<CsvRecord>* records, std::string* error) {
        while (pos_ < text_.size()) {
            CsvRecord record;
            record.line = line_;
            if (!ReadRecord(record.fields, error)) return false;
            // An empty line is no record.
            if (record.fields.size() > 1 || !record.fields.front().empty())
                records->push_back(std::move(record));
        }
        return true;
    }

private:
    bool AtLineEnd() const {
        return text_[pos_] == '\n' ||
               (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n');
    }
    void SkipLineEnd() {
        pos_ += text_[pos_] == '\r' ? 2 : 1;
        ++line_;
    }

    bool ReadRecord(std::vector<std::string>& fields, std::string* error) {
        for (;;) {
            std::string field;
            if (pos_ < text_.size() && text_[pos_] == '"') {
                if (!ReadQuoted(field, error)) return false;
            } else {
                while (pos_ < text_.size() && text_[pos_] != separator_ && !AtLineEnd()) {
                    if (text_[pos_] == '"') {
                        *error = "line " + std::to_string(line_) +
                                 ": a quote inside a field that does not start with one";
                        return false;
                    }
                    field += text_[pos_++];
                }
            }
            fields.push_back(std::move(field));
            if (pos_ >= text_.size()) return true;
            if (AtLineEnd()) {
                SkipLineEnd();
                return true;
            }
            if (text_[pos_] != separator_) {
                *error = "line " + std::to_string(line_) + ": text after a closing quote";
                return false;
            }
            ++pos_;
        }
    }

    bool ReadQuoted(std::string& field, std::string* error) {
        const int start = line_;
        ++pos_;
        for (;;) {
            if (pos_ >= text_.size()) {
                *error = "line " + std::to_string(start) + ": a quoted field is not closed";
                return false;
            }
            const char c = text_[pos_++];
            if (c == '"') {
                if (pos_ < text_.size() && text_[pos_] == '"') {
                    field += '"';
                    ++pos_;
                    continue;
                }
                return true;
            }
            if (c == '\n') ++line_;
            field += c;
        }
    }

    const std::string& text_;
    char separator_;
    size_t pos_ = 0;
    int line_ = 1;
};

}  // namespace

bool CsvTable::Read(const std::string& text, char separator, std::vector<CsvRecord>* records,
                    std::string* error) {
    records->clear();
    return CsvReader(text, separator).ReadAll(records, error);
}

std::string CsvTable::Field(const std::string& text, char separator) {
    if (text.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string CsvTable::Write(const std::vector<std::vector<std::string>>& records, char separator,
                            const char* lineEnd) {
    std::string out;
    for (const auto& record : records) {
        for (size_t i = 0; i < record.size(); ++i) {
            if (i > 0) out += separator;
            out += Field(record[i], separator);
        }
        out += lineEnd;
    }
    return out;
}

}  // namespace parlo
