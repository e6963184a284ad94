#include <gtest/gtest.h>

#include <algorithm>

#include "sheet/CsvTable.h"

namespace parlo {
namespace {

using Fields = std::vector<std::string>;

TEST(CsvTable, ReadsQuotedFieldsLineEndingsAndLineNumbers) {
    struct Case {
        const char* name;
        std::string text;
        char separator;
        std::vector<Fields> records;
        std::vector<int> lines;
    } cases[] = {
        {"plain, CRLF", "a,b\r\nc,d\r\n", ',', {{"a", "b"}, {"c", "d"}}, {1, 2}},
        {"LF, no final line end", "a,b\nc,d", ',', {{"a", "b"}, {"c", "d"}}, {1, 2}},
        {"empty fields", ",x,\n", ',', {{"", "x", ""}}, {1}},
        {"quoted separator and doubled quote",
         "\"1,5\",\"say \"\"hi\"\"\"\n",
         ',',
         {{"1,5", "say \"hi\""}},
         {1}},
        {"line break inside quotes counts lines",
         "\"two\nlines\",x\ny,z\n",
         ',',
         {{"two\nlines", "x"}, {"y", "z"}},
         {1, 3}},
        {"empty lines are no records", "a\n\n\nb\n", ',', {{"a"}, {"b"}}, {1, 4}},
        {"byte order mark skipped",
         "\xEF\xBB\xBF"
         "Bank,Position\n",
         ',',
         {{"Bank", "Position"}},
         {1}},
        {"tabs for the clipboard, commas kept",
         "1,5\tx\n2\t\"a\tb\"\n",
         '\t',
         {{"1,5", "x"}, {"2", "a\tb"}},
         {1, 2}},
        {"a CR at the very end ends the line", "a,b\r", ',', {{"a", "b"}}, {1}},
        {"UTF-8 passes unchanged",
         "K\xC3\xB6ln,\xE2\x82\xAC\n",
         ',',
         {{"K\xC3\xB6ln", "\xE2\x82\xAC"}},
         {1}},
    };
    for (const Case& c : cases) {
        std::vector<CsvRecord> records;
        std::string error;
        ASSERT_TRUE(CsvTable::Read(c.text, c.separator, &records, &error)) << c.name << error;
        ASSERT_EQ(records.size(), c.records.size()) << c.name;
        for (size_t i = 0; i < records.size(); ++i) {
            EXPECT_EQ(records[i].fields, c.records[i]) << c.name;
            EXPECT_EQ(records[i].line, c.lines[i]) << c.name;
        }
    }
}

TEST(CsvTable, RefusesBrokenQuotingWithTheLine) {
    struct Case {
        std::string text;
        const char* error;
    } cases[] = {
        {"a,b\n\"open,c\nd\n", "line 2: a quoted field is not closed"},
        {"a,b\nx\"y,c\n", "line 2: a quote inside a field that does not start with one"},
        {"\"a\"b,c\n", "line 1: text after a closing quote"},
        // Only the record being read is held: one without end is refused.
        {"a,b\n" + std::string(CsvReader::kLongestRecord + 1, 'x') + "\n",
         "line 2: the record is longer than 1 MB"},
        {"a,b\n\"" + std::string(CsvReader::kLongestRecord + 1, 'x') + "\"\n",
         "line 2: the record is longer than 1 MB"},
    };
    for (const Case& c : cases) {
        std::vector<CsvRecord> records;
        std::string error;
        EXPECT_FALSE(CsvTable::Read(c.text, ',', &records, &error)) << c.text.substr(0, 20);
        EXPECT_EQ(error, c.error) << c.text.substr(0, 20);
    }
}

// Spreadsheets save CSV with the separator of their desktop: "," where the
// decimal mark is ".", ";" where it is ",", and tabs as "text" files.
TEST(CsvTable, FindsTheSeparatorInTheHeaderLine) {
    struct Case {
        const char* name;
        std::string text;
        char separator;
        Fields second;
    } cases[] = {
        {"commas", "Bank,Position,Name\n1,2,A;B\n", ',', {"1", "2", "A;B"}},
        {"semicolons, decimal commas", "Bank;Position;Receive\r\n1;2;446,1\r\n", ';',
         {"1", "2", "446,1"}},
        {"tabs", "Bank\tPosition\tName\n1\t2\tA,B\n", '\t', {"1", "2", "A,B"}},
        {"quoted separators do not count", "\"a;b;c\",d\n1;2,3\n", ',', {"1;2", "3"}},
        {"after a byte order mark",
         "\xEF\xBB\xBF"
         "Bank;Position\r\n1;2\r\n",
         ';',
         {"1", "2"}},
        {"a single column: commas", "Bank\n1\n", ',', {"1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CsvReader reader(std::string_view(c.text), 0);
        CsvRecord record;
        ASSERT_TRUE(reader.Next(&record));
        EXPECT_EQ(reader.Separator(), c.separator);
        ASSERT_TRUE(reader.Next(&record)) << reader.Error();
        EXPECT_EQ(record.fields, c.second);
    }
}

// A file is read in pieces as they come: where a piece ends (inside a CRLF,
// a doubled quote, the byte order mark) changes nothing.
TEST(CsvTable, ReadsAStreamInAnyPiecesAsTheWholeText) {
    const std::string text =
        "\xEF\xBB\xBF"
        "Bank;Name\r\n1;\"say \"\"hi\"\"\"\r\n\r\n2;\"two\r\nlines\";x\n3;K\xC3\xB6ln";
    std::vector<CsvRecord> whole;
    std::string error;
    ASSERT_TRUE(CsvTable::Read(text, ';', &whole, &error)) << error;
    ASSERT_EQ(whole.size(), 4u);
    for (size_t piece = 1; piece <= 5; ++piece) {
        size_t at = 0;
        CsvReader reader(
            [&](char* buffer, size_t size) {
                const size_t n = std::min({size, piece, text.size() - at});
                std::copy_n(text.data() + at, n, buffer);
                at += n;
                return n;
            },
            0);
        std::vector<CsvRecord> read;
        for (CsvRecord record; reader.Next(&record);) read.push_back(record);
        EXPECT_EQ(reader.Error(), "") << piece;
        ASSERT_EQ(read.size(), whole.size()) << piece;
        for (size_t i = 0; i < read.size(); ++i) {
            EXPECT_EQ(read[i].fields, whole[i].fields) << piece;
            EXPECT_EQ(read[i].line, whole[i].line) << piece;
        }
    }
}

TEST(CsvTable, WritesWhatItReadsBack) {
    const std::vector<Fields> records = {
        {"Bank", "Position", "Name"},
        {"1", "2", "A,B"},
        {"", "quote \"q\"", "two\nlines"},
        {" LEAD", "TAIL ", "A;B"},
    };
    const std::string text = CsvTable::Write(records, ',');
    // Blanks at either end are quoted: spreadsheets drop them otherwise.
    EXPECT_EQ(text,
              "Bank,Position,Name\r\n1,2,\"A,B\"\r\n,\"quote \"\"q\"\"\",\"two\nlines\"\r\n"
              "\" LEAD\",\"TAIL \",A;B\r\n");
    std::vector<CsvRecord> read;
    std::string error;
    ASSERT_TRUE(CsvTable::Read(text, ',', &read, &error));
    ASSERT_EQ(read.size(), records.size());
    for (size_t i = 0; i < read.size(); ++i) EXPECT_EQ(read[i].fields, records[i]);
    EXPECT_EQ(CsvTable::Write({{"a,b", "c"}}, '\t', "\n"), "a,b\tc\n");
}

}  // namespace
}  // namespace parlo
