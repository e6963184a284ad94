#pragma once
// Tables of text in the form spreadsheets exchange: comma-separated files
// (RFC 4180: fields quoted when they hold the separator, a quote or a line
// break, quotes doubled inside) and the tab-separated text of the clipboard,
// which follows the same quoting with a tab between fields.
#include <string>
#include <vector>

namespace parlo {

struct CsvRecord {
    int line = 0;  // the line of the text the record starts on (from 1)
    std::vector<std::string> fields;
};

class CsvTable {
public:
    // Reads `text` (UTF-8; a byte order mark at its start is skipped). Lines
    // end in CRLF or LF; a final line ending adds no record, nor does an
    // empty line. False, with the line and the reason in *error, for a
    // quoted field that is not closed or a quote inside an unquoted field.
    static bool Read(const std::string& text, char separator, std::vector<CsvRecord>* records,
                     std::string* error);
    // The records as text, each line ended by CRLF (RFC 4180) or, for the
    // clipboard, by LF.
    static std::string Write(const std::vector<std::vector<std::string>>& records, char separator,
                             const char* lineEnd = "\r\n");
    // One field, quoted when it must be.
    static std::string Field(const std::string& text, char separator);
};

}  // namespace parlo
