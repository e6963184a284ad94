// Channel tables through a real spreadsheet: LibreOffice Calc opens each
// export (CSV as a desktop with a decimal point and one with a decimal comma
// reads it, with every kind of number and date recognised; a workbook as
// it is) and saves it again, and the import of what it saved leaves the
// image as it was, byte for byte. Skipped where LibreOffice is not installed.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "app/ChannelTable.h"
#include "tests/support/CellHarness.h"
#include "tests/support/Process.h"

namespace parlo {
namespace {

namespace fs = std::filesystem;

std::string FindOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "/usr/bin";
    size_t at = 0;
    while (at <= dirs.size()) {
        size_t end = dirs.find(':', at);
        if (end == std::string::npos) end = dirs.size();
        const fs::path candidate = fs::path(dirs.substr(at, end - at)) / program;
        if (!candidate.parent_path().empty() && ::access(candidate.c_str(), X_OK) == 0)
            return candidate.string();
        at = end + 1;
    }
    return {};
}

// How the spreadsheet reads and saves a form: the file's extension, the
// locale of the desktop, the filter that opens it and the one that saves it
// (CSV options: separator, quote, UTF-8, first line, no column types,
// language, quoted fields not forced to text, special numbers detected).
struct Form {
    const char* name;
    TableExport how;
    const char* extension;
    const char* locale;
    const char* open;
    const char* save;
};

TableExport Csv(char separator) {
    TableExport how;
    how.separator = separator;
    return how;
}

TableExport Workbook() {
    TableExport how;
    how.format = TableFormat::Workbook;
    return how;
}

const Form kForms[] = {
    {"CSV on a desktop with a decimal point", Csv(','), "csv", "C.UTF-8",
     "CSV:44,34,76,1,,1033,false,true", "csv:Text - txt - csv (StarCalc):44,34,76,1,,1033"},
    {"CSV on a desktop with a decimal comma", Csv(';'), "csv", "de_DE.UTF-8",
     "CSV:59,34,76,1,,1031,false,true", "csv:Text - txt - csv (StarCalc):59,34,76,1,,1031"},
    {"workbook", Workbook(), "xlsx", "de_DE.UTF-8", "", "xlsx"},
};

// Channels with every kind of value a spreadsheet would change.
const char* const kOddChannels =
    "Bank,Position,Name,Receive,Transmit,Receive tone,Transmit tone\n"
    "1,1,0123,446.100000,446.100000,100.0,100.0\n"
    "1,2,=1+1,446.006250,<-,023I,023I\n"
    "1,3,\" LEAD\",446.018750,<-,67.0,67.0\n"
    "1,4,1E5,446.031250,<-,754N,754N\n"
    "1,5,-5,446.043750,<-,88.5,88.5\n"
    "1,6,007,446.056250,<-,Off,Off\n"
    "1,7,@A,446.068750,<-,Off,Off\n"
    "1,8,MAR1,446.081250,<-,Off,Off\n";

class LibreOfficeRoundTripTest : public test::CellHarness {
protected:
    struct Case {
        int variant;
        bool odd;
        EepromImage image;
        int rows;  // the channels present, each a row of the table
    };

    void SetUp() override {
        soffice_ = FindOnPath("soffice");
        if (soffice_.empty()) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    }

    // Opens every file of `files` in the spreadsheet and saves it in `to`.
    void Convert(const Form& form, const std::vector<std::string>& files, const std::string& to) {
        std::vector<std::string> args = {
            "-env:UserInstallation=file://" + dir_.file("profile"), "--headless", "--norestore"};
        if (*form.open != '\0') args.push_back(std::string("--infilter=") + form.open);
        args.insert(args.end(), {"--convert-to", form.save, "--outdir", to});
        args.insert(args.end(), files.begin(), files.end());
        const test::ProcessResult r =
            test::RunProcess(soffice_, args, {{"LC_ALL", form.locale}, {"LANG", form.locale}});
        ASSERT_EQ(r.status, 0) << r.err;
    }

    std::string soffice_;
    test::TempDir dir_;
};

TEST_F(LibreOfficeRoundTripTest, EveryFormLeavesTheImageAsItWas) {
    std::vector<Case> cases;
    for (const int variant : {kVariantLmr, kVariantPmr, kVariantTarnPmr, kVariantDPmr446}) {
        for (const bool odd : {false, true}) {
            Open(variant);
            if (odd) {
                const ImportOutcome made = ImportChannels(doc, cells.Entry(), kOddChannels);
                for (const std::string& refusal : made.refusals) ADD_FAILURE() << refusal;
            }
            doc.RebuildModelData();
            const std::string csv = ExportChannels(doc, cells.Entry());
            const int rows = static_cast<int>(std::count(csv.begin(), csv.end(), '\n')) - 1;
            cases.push_back({variant, odd, {}, rows});
            cases.back().image.Assign(Image());
        }
    }
    for (const Form& form : kForms) {
        SCOPED_TRACE(form.name);
        const std::string out = dir_.file(std::string("out-") + form.extension + form.locale);
        const std::string opened = out + "-opened";
        const std::string saved = out + "-saved";
        fs::create_directories(out);
        std::vector<std::string> files;
        for (size_t i = 0; i < cases.size(); ++i) {
            Open(cases[i].variant);
            Image().Assign(cases[i].image);
            const ExportOutcome table = ExportChannelTable(doc, cells.Entry(), form.how);
            ASSERT_TRUE(table.Ok()) << table.error;
            files.push_back(out + "/table" + std::to_string(i) + "." + form.extension);
            test::WriteFile(files.back(), table.bytes);
        }
        // A CSV file is opened as a spreadsheet and saved as CSV again.
        std::vector<std::string> back = files;
        if (std::string(form.extension) == "csv") {
            Convert({form.name, form.how, "ods", form.locale, form.open, "ods"}, files, opened);
            for (std::string& f : back) f = opened + "/" + fs::path(f).stem().string() + ".ods";
            Convert({form.name, form.how, "", form.locale, "", form.save}, back, saved);
        } else {
            Convert(form, files, saved);
        }
        for (size_t i = 0; i < cases.size(); ++i) {
            SCOPED_TRACE(::testing::Message() << "variant " << cases[i].variant
                                              << (cases[i].odd ? ", odd channels" : ""));
            Open(cases[i].variant);
            Image().Assign(cases[i].image);
            const std::string resaved = saved + "/" + fs::path(files[i]).filename().string();
            const ImportOutcome outcome = ImportChannelFile(doc, cells.Entry(), resaved);
            for (const std::string& refusal : outcome.refusals) ADD_FAILURE() << refusal;
            for (const std::string& note : outcome.notes) ADD_FAILURE() << note;
            EXPECT_EQ(outcome.rows, cases[i].rows);
            int shown = 0;
            for (int32_t a = 0; a < Image().GetSize() && shown < 10; ++a) {
                if (Image().GetByte(a) == cases[i].image.GetByte(a)) continue;
                ADD_FAILURE() << "byte 0x" << std::hex << a << " is " << int(Image().GetByte(a))
                              << ", was " << int(cases[i].image.GetByte(a));
                ++shown;
            }
        }
    }
}

}  // namespace
}  // namespace parlo
