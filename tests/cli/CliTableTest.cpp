// parlo-cli export and import in their forms: CSV with the separator a
// spreadsheet wants, a workbook, a list of the CHIRP program.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/Process.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

using test::ReadFile;
using test::RunCli;
using test::WriteFile;

TEST(CliTable, ExportWritesEachFormAndImportReadsItBack) {
    test::TempDir dir;
    const std::string file = dir.file("pmr.icf");
    test::CliNew("pmr", file);
    ASSERT_EQ(RunCli({"set", file, "CT_Mch.CL_Mch_Text[0]=0123", "CT_Mch.CL_Mch_CTone_R[0]=100.0"})
                  .status,
              0);
    const std::string image = ReadFile(file);
    struct Case {
        std::vector<std::string> options;
        const char* out;
        std::vector<std::string> head;  // its first lines
        std::string start = {};         // its first bytes
    } cases[] = {
        {{}, "plain.csv", {"Bank,Position,No.,Mark,Name,Use,Receive,Transmit,Transmit/receive,"
                           "Receive tone,Transmit tone,Power,Time-out timer,Busy lockout,Scan "
                           "lists,Scan include,Auto channel scan,Compander,Scrambler,Scrambler "
                           "code,Power save,Monitor,Selective call,Call,PTT,Channel mute,Auto "
                           "reset,Log,Format,5-tone / Position,Repeater code,Repeater long tone,"
                           "Station code,Station long tone,ID code,ID long tone,Receive codes",
                           "1,1,1-  1,AB,\"=\"\"0123\"\"\",Normal,446.006250,<-,Normal,100.0,"
                           "100.0,High,On,Off,1__________,Off,Off,Off,Off,Inv,On,Monitor 0,"
                           "Select 0,Off,Off,Off,Off,Log 0,Format 0,Position 0,0,Normal,0,Normal,"
                           "0,Normal,________"}},
        {{"--separator", ";"}, "semicolon.csv",
         {"Bank;Position;No.;Mark;Name;Use;Receive;Transmit;Transmit/receive;Receive tone;"
          "Transmit tone;Power;Time-out timer;Busy lockout;Scan lists;Scan include;Auto channel "
          "scan;Compander;Scrambler;Scrambler code;Power save;Monitor;Selective call;Call;PTT;"
          "Channel mute;Auto reset;Log;Format;5-tone / Position;Repeater code;Repeater long "
          "tone;Station code;Station long tone;ID code;ID long tone;Receive codes",
          "1;1;1-  1;AB;\"=\"\"0123\"\"\";Normal;446,006250;<-;Normal;100,0;100,0;High;On;Off;"
          "1__________;Off;Off;Off;Off;Inv;On;Monitor 0;Select 0;Off;Off;Off;Off;Log 0;Format 0;"
          "Position 0;0;Normal;0;Normal;0;Normal;________"}},
        {{"--separator", "tab", "--bank", "1"}, "tab.csv", {}, "Bank\tPosition\tNo.\tMark\t"},
        {{"--xlsx"}, "book.xlsx", {}, "PK\3\4"},
        // A workbook's name asks for a workbook, as the desktop's Export does.
        {{}, "named.XLSX", {}, "PK\3\4"},
        {{"--chirp"}, "chirp.csv",
         {"Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,"
          "DtcsPolarity,Mode,TStep,Skip,Comment,URCALL,RPT1CALL,RPT2CALL,RxDtcsCode,CrossMode,"
          "Power",
          "1,0123,446.006250,,0.000000,TSQL,100.0,100.0,023,NN,NFM,6.25,,,,,,023,Tone->Tone,"
          "0.5W"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.out);
        std::vector<std::string> args = {"export", file, "-o", dir.file(c.out)};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const auto exported = RunCli(args);
        ASSERT_EQ(exported.status, 0) << exported.err;
        const std::string text = ReadFile(dir.file(c.out));
        EXPECT_EQ(test::FirstLines(text, c.head.size()), c.head);
        EXPECT_EQ(text.substr(0, c.start.size()), c.start);

        // Read back into the factory file, the same channels.
        const std::string fresh = dir.file("fresh.icf");
        test::CliNew("pmr", fresh);
        const auto imported = RunCli({"import", fresh, dir.file(c.out)});
        ASSERT_EQ(imported.status, 0) << imported.err;
        EXPECT_EQ(ReadFile(fresh), image);
    }
}

// The factory bank 1 has room past its 8 channels: a row for such a slot
// fills it, and the count says so rather than "0 channels added".
TEST(CliTable, ImportCountsTheBlankSlotsItFills) {
    test::TempDir dir;
    const std::string file = dir.file("pmr.icf");
    test::CliNew("pmr", file);
    const std::string csv = dir.file("inside.csv");
    WriteFile(csv, "Bank,Position,Receive\n1,10,446.100000\n1,2,446.200000\n");
    const auto r = RunCli({"import", file, csv});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "2 channel rows read, 0 channels added, 1 blank slot filled\n");
    EXPECT_EQ(test::CliGet(file, {"CL_Mch_FreqR[1]", "CL_Mch_FreqR[9]"}),
              "446.200000\n446.100000\n");
}

// Text saved under a workbook's name is refused as a workbook, not read as
// a CSV table whose first line is no header.
TEST(CliTable, ATextNamedAsAWorkbookIsRefused) {
    test::TempDir dir;
    const std::string file = dir.file("pmr.icf");
    test::CliNew("pmr", file);
    const std::string before = ReadFile(file);
    for (const char* name : {"text.xlsx", "TEXT.XLSX"}) {
        WriteFile(dir.file(name), "Bank,Position,Receive\n1,1,446.100000\n");
        const auto r = RunCli({"import", file, dir.file(name)});
        EXPECT_EQ(r.status, 65) << name;
        EXPECT_NE(r.err.find("named as a workbook (.xlsx) but is not one"), std::string::npos)
            << r.err;
        EXPECT_EQ(ReadFile(file), before) << name;
    }
}

TEST(CliTable, OptionsThatDoNotFitAreUsageErrors) {
    test::TempDir dir;
    const std::string file = dir.file("pmr.icf");
    test::CliNew("pmr", file);
    ASSERT_EQ(RunCli({"export", file, "-o", dir.file("t.csv")}).status, 0);
    struct Case {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"export", file, "--xlsx", "--chirp"},
         "parlo-cli export: --xlsx, --chirp and --separator exclude each other\n"},
        {{"export", file, "--xlsx", "--separator", ";"},
         "parlo-cli export: --xlsx, --chirp and --separator exclude each other\n"},
        {{"export", file, "--separator", "|"},
         "parlo-cli export: --separator takes ',', ';' or tab\n"},
        {{"import", file, dir.file("t.csv"), "--locations", "8-1"},
         "parlo-cli import: --locations takes Locations and ranges such as 71-78 or 1,3,10-12\n"},
        {{"import", file, dir.file("t.csv"), "--bank", "2"},
         "parlo-cli import: --bank and --locations are for a list of the CHIRP program; this "
         "table says itself where its rows go\n"},
    };
    const std::string before = ReadFile(file);
    for (const Case& c : cases) {
        const auto r = RunCli(c.args);
        EXPECT_EQ(r.status, 64) << c.message;
        EXPECT_EQ(r.err, c.message);
    }
    EXPECT_EQ(ReadFile(file), before);
}

// An installation that lacks the workbook module: a workbook is neither
// made nor read, the command says why and ends as for a program fault, the
// document is left as it was, and the other forms still work.
TEST(CliTable, WithoutTheWorkbookModuleWorkbooksAreRefusedAndTheDocumentKept) {
    namespace fs = std::filesystem;
    test::TempDir dir;
    const std::string file = dir.file("pmr.icf");
    test::CliNew("pmr", file);
    const std::string book = dir.file("book.xlsx");
    ASSERT_EQ(RunCli({"export", file, "--xlsx", "-o", book}).status, 0);
    // A copy of the program beside the data files and every module but the
    // workbook one.
    const fs::path bin = dir.path() / "bin";
    fs::create_directory(bin);
    const fs::path built(PARLO_CLI_PATH);
    for (const auto& entry : fs::directory_iterator(built.parent_path())) {
        const std::string name = entry.path().filename().string();
        if (name != "parlo-xlsx.so" && name != built.filename())
            fs::create_symlink(entry.path(), bin / name);
    }
    const fs::path cli = bin / built.filename();
    std::error_code linked;
    fs::create_hard_link(built, cli, linked);
    if (linked) fs::copy_file(built, cli);

    const std::string before = ReadFile(file);
    const auto exported =
        test::RunProcess(cli.string(), {"export", file, "--xlsx", "-o", dir.file("out.xlsx")});
    EXPECT_EQ(exported.status, 3);
    EXPECT_EQ(exported.err.rfind("parlo-cli export: cannot load the workbook libraries: ", 0), 0u)
        << exported.err;
    EXPECT_NE(exported.err.find("parlo-xlsx.so"), std::string::npos) << exported.err;
    EXPECT_FALSE(fs::exists(dir.file("out.xlsx")));

    const auto imported = test::RunProcess(cli.string(), {"import", file, book});
    EXPECT_EQ(imported.status, 3);
    EXPECT_EQ(imported.err.rfind("parlo-cli import: cannot load the workbook libraries: ", 0), 0u)
        << imported.err;
    EXPECT_EQ(ReadFile(file), before);

    const auto csv = test::RunProcess(cli.string(), {"export", file, "-o", dir.file("out.csv")});
    EXPECT_EQ(csv.status, 0) << csv.err;
    const auto back = test::RunProcess(cli.string(), {"import", file, dir.file("out.csv")});
    EXPECT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(ReadFile(file), before);
}

}  // namespace
}  // namespace parlo
