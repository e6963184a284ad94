#include <gtest/gtest.h>

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
    };
    for (const Case& c : cases) {
        std::vector<CsvRecord> records;
        std::string error;
        EXPECT_FALSE(CsvTable::Read(c.text, ',', &records, &error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
}

TEST(CsvTable, WritesWhatItReadsBack) {
    const std::vector<Fields> records = {
        {"Bank", "Position", "Name"},
        {"1", "2", "A,B"},
        {"", "quote \"q\"", "two\nlines"},
    };
    const std::string text = CsvTable::Write(records, ',');
    EXPECT_EQ(text, "Bank,Position,Name\r\n1,2,\"A,B\"\r\n,\"quote \"\"q\"\"\",\"two\nlines\"\r\n");
    std::vector<CsvRecord> read;
    std::string error;
    ASSERT_TRUE(CsvTable::Read(text, ',', &read, &error));
    ASSERT_EQ(read.size(), records.size());
    for (size_t i = 0; i < read.size(); ++i) EXPECT_EQ(read[i].fields, records[i]);
    EXPECT_EQ(CsvTable::Write({{"a,b", "c"}}, '\t', "\n"), "a,b\tc\n");
}

}  // namespace
}  // namespace parlo
