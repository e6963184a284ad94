#pragma once
// Tables of text in the form spreadsheets exchange: comma-separated files
// (RFC 4180: fields quoted when they hold the separator, a quote or a line
// break, quotes doubled inside) and the tab-separated text of the clipboard,
// which follows the same quoting with a tab between fields. Spreadsheets of
// desktops that write a decimal comma separate fields with ";".
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace parlo {

struct CsvRecord {
    int line = 0;  // the line of the text the record starts on (from 1)
    std::vector<std::string> fields;
};

// Reads records one at a time from a source of bytes, so that a table of
// any length is read in little memory: only the record being read is held.
class CsvReader {
public:
    // Fills `buffer` with up to `size` bytes; 0 at the end (or on an error
    // the source reports itself).
    using Source = std::function<size_t(char* buffer, size_t size)>;

    // Separator 0: the one of ",", ";" and tab that the first line uses
    // most, outside quotes (",": when it uses none).
    CsvReader(Source source, char separator);
    // A text held by the caller for the reader's life.
    CsvReader(std::string_view text, char separator);

    // The next record: UTF-8, a byte order mark at the start skipped, lines
    // ended by CRLF or LF, empty lines no record. False at the end, and on
    // a fault (Error() then names the line and says what): a quoted field
    // that is not closed, a quote inside an unquoted field, text after a
    // closing quote, a record longer than kLongestRecord.
    bool Next(CsvRecord* record);
    const std::string& Error() const { return error_; }
    // The separator in use (found from the first line once Next was called).
    char Separator() const { return separator_; }

    static constexpr size_t kLongestRecord = size_t{1} << 20;

private:
    // The byte `ahead` places on, or -1 past the end.
    int Peek(size_t ahead = 0);
    bool Fill(size_t needed);
    void DetectSeparator();
    bool AtLineEnd();
    void SkipLineEnd();
    bool ReadField(std::string& field);
    bool ReadQuoted(std::string& field);
    bool Fail(int line, const char* what);

    Source source_;
    std::string_view text_;  // what the source gave, not yet consumed ...
    std::string buffer_;     // ... held here when it comes from a source
    size_t pos_ = 0;
    bool ended_ = false;  // the source has nothing more
    bool started_ = false;
    char separator_;
    int line_ = 1;
    size_t recordStart_ = 0;  // bytes consumed before the record being read
    size_t consumed_ = 0;     // bytes dropped from the front of buffer_
    std::string error_;
};

class CsvTable {
public:
    // Reads the whole of `text`; false, with the line and the reason in
    // *error, on a fault CsvReader names.
    static bool Read(const std::string& text, char separator, std::vector<CsvRecord>* records,
                     std::string* error);
    // The records as text, each line ended by CRLF (RFC 4180) or, for the
    // clipboard, by LF.
    static std::string Write(const std::vector<std::vector<std::string>>& records, char separator,
                             const char* lineEnd = "\r\n");
    // One record as a line, ended by `lineEnd`.
    static std::string Line(const std::vector<std::string>& record, char separator,
                            const char* lineEnd = "\r\n");
    // One field, quoted when it must be, and when blanks begin or end it
    // (which spreadsheets would otherwise drop).
    static std::string Field(const std::string& text, char separator);
};

}  // namespace parlo
