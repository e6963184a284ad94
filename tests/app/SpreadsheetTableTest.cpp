// Channel tables as spreadsheets hand them back: numbers rewritten their own
// way, names that look like numbers or formulas, the separator and decimal
// mark of the user's desktop. Whatever a spreadsheet did, a value that
// still means the same leaves the image as it was, byte for byte.
#include <gtest/gtest.h>

#include "app/ChannelTable.h"
#include "platform/xlsx/Workbook.h"
#include "sheet/CsvTable.h"
#include "tests/support/CellHarness.h"
#include "tests/support/ExpectedImage.h"

namespace parlo {
namespace {

bool Digits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// What a spreadsheet makes of a field when it opens the file and saves it
// again: a number loses its trailing zeros (and its "." when nothing is
// left after it) and takes the desktop's decimal mark; a formula gives its
// result; everything else stays text.
std::string AsSpreadsheetSavesIt(const std::string& field, char decimalMark) {
    if (field.size() >= 3 && field.compare(0, 2, "=\"") == 0 && field.back() == '"') {
        std::string text;
        for (size_t i = 2; i + 1 < field.size(); ++i) {
            text += field[i];
            if (field[i] == '"') ++i;
        }
        return text;
    }
    const size_t dot = field.find('.');
    if (dot == std::string::npos || !Digits(field.substr(0, dot)) || !Digits(field.substr(dot + 1)))
        return field;
    std::string number = field;
    while (number.back() == '0') number.pop_back();
    if (number.back() == '.') number.pop_back();
    for (char& c : number) c = c == '.' ? decimalMark : c;
    return number;
}

// A whole exported table as a spreadsheet saves it: its separator, its
// line ends, a byte order mark or not.
struct Dialect {
    const char* name;
    char separator;
    char decimalMark;
    const char* lineEnd;
    bool byteOrderMark;
};
const Dialect kDialects[] = {
    {"comma, point, CRLF", ',', '.', "\r\n", false},
    {"semicolon, decimal comma, LF, byte order mark", ';', ',', "\n", true},
    {"tab, point, LF", '\t', '.', "\n", false},
};

std::string Resaved(const std::string& exported, const Dialect& d) {
    std::vector<CsvRecord> records;
    std::string error;
    EXPECT_TRUE(CsvTable::Read(exported, 0, &records, &error)) << error;
    std::string out = d.byteOrderMark ? "\xEF\xBB\xBF" : "";
    for (const CsvRecord& r : records) {
        std::vector<std::string> fields;
        for (const std::string& f : r.fields) fields.push_back(AsSpreadsheetSavesIt(f, d.decimalMark));
        out += CsvTable::Line(fields, d.separator, d.lineEnd);
    }
    return out;
}

// Channels whose values a spreadsheet would change if it could: tones with
// decimals and DTCS codes, frequencies with trailing zeros, names that read
// as numbers, formulas, dates or truth values, and names with blanks.
const char* const kOddChannels =
    "Bank,Position,Name,Receive,Transmit,Receive tone,Transmit tone\n"
    "1,1,0123,446.100000,446.100000,100.0,100.0\n"
    "1,2,=1+1,446.006250,<-,023I,023I\n"
    "1,3,\" LEAD\",446.018750,<-,67.0,67.0\n"
    "1,4,1E5,446.031250,<-,754N,754N\n"
    "1,5,-5,446.043750,<-,88.5,88.5\n"
    "1,6,+1,446.056250,<-,Off,Off\n"
    "1,7,@A,446.068750,<-,Off,Off\n"
    "1,8,MAR1,446.081250,<-,Off,Off\n";

class SpreadsheetTableTest : public test::CellHarness {
protected:
    DispatchFunction Entry() { return cells.Entry(); }
};

TEST_F(SpreadsheetTableTest, ATableResavedByASpreadsheetLeavesTheImageAsItWas) {
    for (const int variant : {kVariantLmr, kVariantPmr, kVariantTarnPmr, kVariantDPmr446}) {
        for (const bool odd : {false, true}) {
            SCOPED_TRACE(::testing::Message() << "variant " << variant << (odd ? ", odd" : ""));
            Open(variant);
            if (odd) {
                const ImportOutcome made = ImportChannels(doc, Entry(), kOddChannels);
                for (const std::string& refusal : made.refusals) ADD_FAILURE() << refusal;
                doc.RebuildModelData();
            }
            EepromImage before;
            before.Assign(Image());
            const std::string exported = ExportChannels(doc, Entry());
            for (const Dialect& d : kDialects) {
                SCOPED_TRACE(d.name);
                const ImportOutcome outcome = ImportChannels(doc, Entry(), Resaved(exported, d));
                for (const std::string& refusal : outcome.refusals) ADD_FAILURE() << refusal;
                for (const std::string& note : outcome.notes) ADD_FAILURE() << note;
                EXPECT_TRUE(test::SameImage(Image(), before)) << "after the import";
            }
        }
    }
}

}  // namespace
}  // namespace parlo

namespace parlo {
namespace {

// In a table a tone is said in full: a number is a CTCSS frequency, a DTCS
// code carries its polarity letter. The in-place editor still reads "100"
// as the code it has always read.
TEST_F(SpreadsheetTableTest, ToneColumnsReadABareNumberAsACtcssFrequency) {
    struct Case {
        const char* text;
        const char* shown;  // nothing: refused with `reason`
        const char* reason;
    } cases[] = {
        {"100", "100.0", ""},
        {"100,0", "100.0", ""},
        {"67 Hz", "67.0", ""},
        {"023N", "023N", ""},
        {"754i", "754I", ""},
        {"Off", "Off", ""},
        {"023", nullptr,
         "There is no CTCSS tone of 023 Hz. A DTCS code is written with its polarity letter: "
         "023N, or 023I for inverted."},
        {"1000", nullptr,
         "There is no CTCSS tone of 1000 Hz. A DTCS code is written with its polarity letter: "
         "023N, or 023I for inverted."},
        {"1e2", nullptr, "Type the number in plain digits, without an exponent."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Open(kVariantPmr);
        const ImportOutcome outcome = ImportChannels(
            doc, Entry(), std::string("Bank,Position,Receive tone\n1,1,\"") + c.text + "\"\n");
        if (c.shown != nullptr) {
            EXPECT_TRUE(outcome.Ok());
            EXPECT_EQ(Show(CT_Mch, CL_Mch_CTone_R, 0), c.shown);
        } else {
            EXPECT_EQ(outcome.refusals,
                      std::vector<std::string>{std::string("line 2, column \"Receive tone\": '") +
                                               c.text + "' was not accepted: " + c.reason});
            EXPECT_EQ(Show(CT_Mch, CL_Mch_CTone_R, 0), "Off");
        }
    }
    Open(kVariantPmr);
    Type(CT_Mch, CL_Mch_CTone_R, 0, "100");
    EXPECT_EQ(Show(CT_Mch, CL_Mch_CTone_R, 0), "100N");
}

// Names go out as the spreadsheet must keep them: blanks at their ends
// quoted, one that would be read as a number, a formula, a date or a truth
// value as a formula giving the text itself. Import reads both back, and
// says which character the display cannot show.
TEST_F(SpreadsheetTableTest, NamesStayTextInASpreadsheet) {
    Open(kVariantPmr);
    ASSERT_TRUE(ImportChannels(doc, Entry(),
                               "Bank,Position,Name\n1,1,0123\n1,2,=1+1\n1,3,\" LEAD\"\n1,4,1E5\n"
                               "1,5,-5\n1,6,+1\n1,7,@A\n1,8,MAR1\n")
                    .Ok());
    EXPECT_TRUE(ImportChannels(doc, Entry(),
                               "Bank,Position,Name,Receive\n1,9,TRUE,446.1\n1,10,\"SAY \"\"HI\"\"\",446.1\n"
                               "1,11,PMR 1,446.1\n")
                    .Ok());
    doc.RebuildModelData();
    const std::string exported = ExportChannels(doc, Entry());
    std::vector<CsvRecord> records;
    std::string error;
    ASSERT_TRUE(CsvTable::Read(exported, ',', &records, &error)) << error;
    ASSERT_EQ(records.size(), 12u);
    const std::vector<std::string> names = {
        "=\"0123\"", "=\"=1+1\"", " LEAD",       "=\"1E5\"",         "=\"-5\"",  "=\"+1\"",
        "=\"@A\"",   "=\"MAR1\"", "=\"TRUE\"", "SAY \"HI\"", "PMR 1"};
    for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(records[i + 1].fields[4], names[i]) << i;
    EXPECT_NE(exported.find(",\" LEAD\","), std::string::npos);
    EXPECT_NE(exported.find(",\"=\"\"0123\"\"\","), std::string::npos);

    EepromImage before;
    before.Assign(Image());
    EXPECT_TRUE(ImportChannels(doc, Entry(), exported).Ok());
    EXPECT_TRUE(test::SameImage(Image(), before)) << "the export read back";

    const ImportOutcome refused =
        ImportChannels(doc, Entry(), "Bank,Position,Name\n1,1,Z\xC3\xBCrich\n");
    EXPECT_EQ(refused.refusals,
              std::vector<std::string>{
                  "line 2, column \"Name\": 'Z\xC3\xBCrich' was not accepted: The radio's display "
                  "cannot show \"\xC3\xBC\". Type plain letters, digits and signs, or pick the "
                  "character from the table."});
    EXPECT_TRUE(test::SameImage(Image(), before)) << "after the refused name";
}

// For a spreadsheet of a desktop that writes a decimal comma: ";" between
// fields, numbers with a decimal comma, texts as they are.
TEST_F(SpreadsheetTableTest, ExportForACommaDecimalSpreadsheet) {
    Open(kVariantPmr);
    ASSERT_TRUE(ImportChannels(doc, Entry(),
                               "Bank,Position,Name,Receive tone\n1,1,\"A;B\",88.5\n1,2,0123,023I\n")
                    .Ok());
    TableExport how;
    how.separator = ';';
    const ExportOutcome out = ExportChannelTable(doc, Entry(), how);
    ASSERT_TRUE(out.Ok());
    const size_t first = out.bytes.find("\r\n") + 2;
    const std::string rows = out.bytes.substr(first, out.bytes.find("\r\n", first + 1) - first);
    EXPECT_EQ(rows.substr(0, 80),
              "1;1;1-  1;AB;\"A;B\";Normal;446,006250;<-;Normal;88,5;88,5;High;On;Off;1__________");
    EXPECT_EQ(out.bytes.substr(0, 22), "Bank;Position;No.;Mark");
    EXPECT_NE(out.bytes.find(";\"=\"\"0123\"\"\";Normal;446,018750;<-;Normal;023I;023I;"),
              std::string::npos);
}

}  // namespace
}  // namespace parlo

namespace parlo {
namespace {

// A workbook's refusals say the sheet and the row; its numbers may come
// without decimals, as a spreadsheet's user types them.
TEST_F(SpreadsheetTableTest, AWorkbookSaysWhereARefusedValueIs) {
    Open(kVariantPmr);
    WorkbookWriter writer;
    writer.AddSheet("Bank 1");
    writer.AddRow({{"Position", false, 0}, {"Name", false, 0}, {"Receive tone", false, 0}});
    writer.AddRow({{"1", true, 0}, {"OK", false, 0}, {"100", true, 0}});
    writer.AddRow({{"2", true, 0}, {"Z\xC3\xBCrich", false, 0}, {"67", true, 0}});
    writer.AddSheet("Notes");
    writer.AddRow({{"Remark", false, 0}});
    std::string book, error;
    ASSERT_TRUE(writer.Finish(&book, &error)) << error;
    test::TempDir dir;
    test::WriteFile(dir.file("book.xlsx"), book);
    EepromImage before;
    before.Assign(Image());
    const ImportOutcome refused = ImportChannelFile(doc, Entry(), dir.file("book.xlsx"));
    EXPECT_EQ(refused.format, TableFormat::Workbook);
    EXPECT_EQ(refused.refusals,
              (std::vector<std::string>{
                  "sheet \"Notes\", row 1: \"Remark\" is not a column of the bank sheet",
                  "sheet \"Notes\", row 1: the header has no column \"Bank\"",
                  "sheet \"Notes\", row 1: the header has no column \"Position\"",
                  "sheet \"Bank 1\", row 3, column \"Name\": 'Z\xC3\xBCrich' was not accepted: The "
                  "radio's display cannot show \"\xC3\xBC\". Type plain letters, digits and signs, or "
                  "pick the character from the table."}));
    EXPECT_TRUE(test::SameImage(Image(), before)) << "after the refused workbook";

    WorkbookWriter good;
    good.AddSheet("Bank 1");
    good.AddRow({{"Position", false, 0}, {"Name", false, 0}, {"Receive tone", false, 0}});
    good.AddRow({{"1", true, 0}, {"OK", false, 0}, {"100", true, 0}});
    ASSERT_TRUE(good.Finish(&book, &error)) << error;
    test::WriteFile(dir.file("good.xlsx"), book);
    EXPECT_TRUE(ImportChannelFile(doc, Entry(), dir.file("good.xlsx")).Ok());
    EXPECT_EQ(Show(CT_Mch, CL_Mch_CTone_R, 0), "100.0");

    test::WriteFile(dir.file("odd.xlsx"), "PK\3\4 and then nothing of a workbook");
    const ImportOutcome broken = ImportChannelFile(doc, Entry(), dir.file("odd.xlsx"));
    ASSERT_EQ(broken.refusals.size(), 1u);
    EXPECT_EQ(broken.refusals[0].substr(0, 44), "the file is not a workbook that can be read:");
}

}  // namespace
}  // namespace parlo
