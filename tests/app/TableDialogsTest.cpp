// File > Import Channels and Export Channels in the desktop program: the
// forms the export dialog offers, a list of the CHIRP program going into
// the bank on screen, a long list of refusals cut to fit a message box.
#include <gtest/gtest.h>

#include "model/BankMap.h"
#include "tests/support/ControllerHarness.h"

namespace parlo {
namespace {

class TableDialogsTest : public test::ControllerHarness {};

TEST_F(TableDialogsTest, ExportWritesTheFormChosenInTheDialog) {
    StartWith(kVariantPmr);
    struct Case {
        int type;  // in the dialog's list
        const char* name;
        std::string start;
    } cases[] = {
        {0, "comma.csv", "Bank,Position,No.,"},
        {1, "semicolon.csv", "Bank;Position;No.;"},
        {2, "book.xlsx", "PK\3\4"},
        {3, "chirp.csv", "Location,Name,Frequency,"},
        // The name's extension decides between a workbook and text.
        {0, "named.xlsx", "PK\3\4"},
        {2, "named.csv", "Bank,Position,No.,"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        view.savePath = dir.file(c.name);
        view.saveFilter = c.type;
        main->ExportChannelsDialog();
        EXPECT_EQ(view.saveFilters,
                  "CSV, comma-separated (*.csv)|*.csv|CSV for spreadsheets with a decimal comma, "
                  "semicolon-separated (*.csv)|*.csv|Workbook, one sheet per bank (*.xlsx)|*.xlsx|"
                  "List of the CHIRP program (*.csv)|*.csv");
        const std::string written = test::ReadFile(dir.file(c.name));
        EXPECT_EQ(written.substr(0, c.start.size()), c.start);
    }
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(TableDialogsTest, AChirpListGoesIntoTheBankOnScreen) {
    StartWith(kVariantPmr);
    SetBankSize(Image(), 0, 8);
    main->Doc().RebuildModelData();
    const std::string list = dir.file("list.csv");
    test::WriteFile(list,
                    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,"
                    "DtcsPolarity,Mode,TStep,Skip,Comment,URCALL,RPT1CALL,RPT2CALL\r\n"
                    "1,FIELD,446.006250,,0,TSQL,88.5,88.5,023,NN,NFM,6.25,,,,,\r\n");
    ShowBank(1);
    ASSERT_TRUE(main->ImportChannelsFrom(list));
    ASSERT_EQ(BankSize(Image(), 1), 1);
    EXPECT_EQ(Name(BankFirstSlot(Image(), 1)), "FIELD");
    EXPECT_EQ(BankSize(Image(), 0), 8);

    // On a sheet of no bank, bank 1.
    Show("[St_Common]GI_Sheet_Mch_BankOp");
    ASSERT_TRUE(main->ImportChannelsFrom(list));
    EXPECT_EQ(Name(0), "FIELD");
    EXPECT_EQ(BankSize(Image(), 1), 1);
}

TEST_F(TableDialogsTest, ALongListOfRefusalsIsCutAndCounted) {
    StartWith(kVariantPmr);
    // Three refused values in each of 64 rows: the import keeps 100 and
    // counts the rest; the message shows 20 and counts the rest.
    std::string csv = "Bank,Position,Receive tone,Transmit tone,Power\n";
    for (int p = 1; p <= 64; ++p) csv += "1," + std::to_string(p) + ",x,y,z\n";
    const std::string file = dir.file("bad.csv");
    test::WriteFile(file, csv);
    EXPECT_FALSE(main->ImportChannelsFrom(file));
    ASSERT_EQ(prompts.shown.size(), 1u);
    const std::string& text = prompts.shown[0].text;
    EXPECT_NE(text.find("\nline 2, column \"Receive tone\": 'x' was not accepted\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\nline 8, column \"Transmit tone\": 'y' was not accepted\n"
                        "... and 172 more"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("line 8, column \"Power\""), std::string::npos) << text;
}

}  // namespace
}  // namespace parlo
