// Workbooks written and read through the libraries: every cell keeps its
// type (a text stays a text however it looks, a number is a number shown
// with its decimals), numbers are written with "." whatever the locale,
// and what is read back is what was written.
#include <gtest/gtest.h>

#include <orcus/zip_archive.hpp>
#include <orcus/zip_archive_stream.hpp>

#include <regex>

#include "platform/xlsx/ArchiveSize.h"
#include "platform/xlsx/Workbook.h"

namespace parlo {
namespace {

// A part of the workbook's zip archive, as text.
std::string Part(const std::string& book, const char* name) {
    orcus::zip_archive_stream_blob stream(reinterpret_cast<const uint8_t*>(book.data()),
                                          book.size());
    orcus::zip_archive archive(&stream);
    archive.load();
    std::vector<unsigned char> bytes;
    EXPECT_TRUE(archive.read_file_entry(name, bytes)) << name;
    return std::string(bytes.begin(), bytes.end());
}

TEST(Workbook, CellsKeepTheirTypesAndReadBackAsWritten) {
    WorkbookWriter writer;
    writer.AddSheet("Bank 1");
    writer.AddRow({{"Position", false, 0}, {"Name", false, 0}, {"Receive", false, 0}});
    writer.AddRow({{"1", true, 0}, {"0123", false, 0}, {"446.100000", true, 6}});
    writer.AddRow({{"2", true, 0}, {"=1+1", false, 0}, {"446.006250", true, 6}});
    writer.AddSheet("Bank 2");
    writer.AddRow({{"Position", false, 0}, {"Name", false, 0}, {"Tone", false, 0}});
    writer.AddRow({{"1", true, 0}, {" LEAD", false, 0}, {"100.0", true, 1}});
    writer.AddRow({{"2", true, 0}, {"", false, 0}, {"67.0", true, 1}});
    std::string book, error;
    ASSERT_TRUE(writer.Finish(&book, &error)) << error;
    EXPECT_TRUE(LooksLikeWorkbook(book));

    // Numbers as numbers with "." (in any locale), texts as shared strings,
    // the decimals in the number formats.
    const std::string sheet = Part(book, "xl/worksheets/sheet1.xml");
    EXPECT_NE(sheet.find("<v>446.1</v>"), std::string::npos) << sheet;
    EXPECT_NE(sheet.find("<v>446.00625</v>"), std::string::npos) << sheet;
    EXPECT_EQ(sheet.find("446,"), std::string::npos) << sheet;
    EXPECT_TRUE(std::regex_search(sheet, std::regex("<c r=\"B2\" s=\"[0-9]+\" t=\"s\">"))) << sheet;
    EXPECT_TRUE(std::regex_search(sheet, std::regex("<c r=\"C2\" s=\"[0-9]+\"><v>446.1<"))) << sheet;
    const std::string strings = Part(book, "xl/sharedStrings.xml");
    for (const char* text : {"<t>0123</t>", "<t>=1+1</t>", "<t xml:space=\"preserve\"> LEAD</t>"})
        EXPECT_NE(strings.find(text), std::string::npos) << text << "\n" << strings;
    const std::string styles = Part(book, "xl/styles.xml");
    for (const char* format : {"formatCode=\"0.000000\"", "formatCode=\"0.0\"", "formatCode=\"@\""})
        EXPECT_NE(styles.find(format), std::string::npos) << format << "\n" << styles;

    std::vector<std::string> read;
    ASSERT_TRUE(ReadWorkbook(
        book,
        [&](const std::string& name, int index, int row, const std::vector<std::string>& cells) {
            std::string line = name + "/" + std::to_string(index) + "/" + std::to_string(row) + ":";
            for (const std::string& cell : cells) line += "[" + cell + "]";
            read.push_back(line);
        },
        &error))
        << error;
    EXPECT_EQ(read, (std::vector<std::string>{
                        "Bank 1/0/1:[Position][Name][Receive]",
                        "Bank 1/0/2:[1][0123][446.1]",
                        "Bank 1/0/3:[2][=1+1][446.00625]",
                        "Bank 2/1/1:[Position][Name][Tone]",
                        "Bank 2/1/2:[1][ LEAD][100]",
                        "Bank 2/1/3:[2][][67]",
                    }));
}

TEST(Workbook, AFileThatIsNoWorkbookIsRefusedWithTheReason) {
    for (const std::string& bytes : {std::string("PK\3\4 not a zip archive"), std::string(),
                                    std::string("Bank,Position\r\n")}) {
        std::string error;
        int rows = 0;
        EXPECT_FALSE(ReadWorkbook(
            bytes, [&](const std::string&, int, int, const std::vector<std::string>&) { ++rows; },
            &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(rows, 0);
    }
}

// The sizes a workbook's archive states for its parts are checked before
// anything is unpacked: a file of a few kilobytes that would unpack to
// gigabytes is refused, whichever of its headers states the size.
TEST(Workbook, AnArchiveThatWouldUnpackToTooMuchIsRefusedBeforeUnpacking) {
    WorkbookWriter writer;
    writer.AddSheet("Bank 1");
    writer.AddRow({{"Position", false, 0}, {"Name", false, 0}});
    std::string book, error;
    ASSERT_TRUE(writer.Finish(&book, &error)) << error;
    EXPECT_EQ(ArchiveSizeProblem(book), "");
    EXPECT_EQ(ArchiveSizeProblem(book, 100), "its parts would unpack to more than 0 MB");

    // The size of the first part, as its local header (offset 22) and then
    // as the central directory (offset 24 after its signature) state it.
    const std::string local = "PK\3\4";
    const std::string central = "PK\1\2";
    for (const auto& [signature, offset] : {std::pair{local, 22}, std::pair{central, 24}}) {
        std::string patched = book;
        const size_t at = patched.find(signature) + static_cast<size_t>(offset);
        patched.replace(at, 4, "\xFF\xFF\xFF\x7F");
        EXPECT_EQ(ArchiveSizeProblem(patched), "its parts would unpack to more than 32 MB");
        int rows = 0;
        EXPECT_FALSE(ReadWorkbook(
            patched, [&](const std::string&, int, int, const std::vector<std::string>&) { ++rows; },
            &error));
        EXPECT_EQ(error, "its parts would unpack to more than 32 MB");
        EXPECT_EQ(rows, 0);
    }
}

}  // namespace
}  // namespace parlo
