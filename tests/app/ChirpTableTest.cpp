// Channel lists of the CHIRP program, written here from that format's
// description: each column's meaning mapped onto this radio's cells, rows
// it cannot take refused with the reason, and the lists written back.
#include <gtest/gtest.h>

#include "app/ChannelTable.h"
#include "app/ChirpTable.h"
#include "model/BankMap.h"
#include "platform/Fatal.h"
#include "tests/support/CellHarness.h"
#include "tests/support/ExpectedImage.h"

namespace parlo {
namespace {

const char* const kHeader =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode,"
    "TStep,Skip,Comment,URCALL,RPT1CALL,RPT2CALL,RxDtcsCode,CrossMode,Power";

// A PMR446 list as that program saves one (CRLF), in no particular order,
// with tones of each kind, a name longer than the display, an LPD channel
// of a mixed list and an AM channel this radio has no mode for.
const char* const kPmrList[] = {
    "3,PMR3,446.031250,,0.000000,TSQL,88.5,100.0,023,NN,NFM,6.25,S,scan off,,,,023,Tone->Tone,0.1W",
    "1,PMR1,446.006250,,0.000000,,88.5,88.5,023,NN,NFM,6.25,,,,,,023,Tone->Tone,0.5W",
    "2,PMR2,446.018750,,0.000000,Tone,67.0,88.5,023,NN,NFM,6.25,,,,,,023,Tone->Tone,0.5W",
    "4,PMR4,446.043750,,0.000000,DTCS,88.5,88.5,754,RN,NFM,6.25,,,,,,125,Tone->Tone,0.5W",
    "5,PMR5,446.056250,,0.000000,TSQL-R,88.5,123.0,023,NN,NFM,6.25,,,,,,023,Tone->Tone,0.25W",
    "6,PMR6,446.068750,,0.000000,DTCS-R,88.5,88.5,025,NR,NFM,6.25,,,,,,025,Tone->Tone,0.5W",
    "7,PMR7,446.081250,,0.000000,Cross,71.9,123.0,023,NN,NFM,6.25,,,,,,023,Tone->DTCS,0.5W",
    "8,PMR8 LONG,446.093750,,0.000000,Cross,88.5,88.5,031,RN,NFM,6.25,,,,,,023,DTCS->,0.5W",
    "9,LPD1,433.075000,,0.000000,,88.5,88.5,023,NN,NFM,25.00,,,,,,023,Tone->Tone,0.01W",
    "10,AIR,125.000000,,0.000000,,88.5,88.5,023,NN,AM,25.00,,,,,,023,Tone->Tone,5W",
};

std::string List(const std::vector<std::string>& rows, const char* header = kHeader) {
    std::string text = std::string(header) + "\r\n";
    for (const std::string& row : rows) text += row + "\r\n";
    return text;
}

class ChirpTableTest : public test::CellHarness {
protected:
    DispatchFunction Entry() { return cells.Entry(); }

    ImportOutcome Import(const std::string& text, TableImport how = {}) {
        return ImportChannels(doc, Entry(), text, how);
    }
    // The texts of a channel's cells: receive, transmit, receive tone,
    // transmit tone, name, power, use, scan lists.
    std::vector<std::string> Channel(int slot) {
        std::vector<std::string> texts;
        for (const int cell : {CL_Mch_FreqR, CL_Mch_FreqT, CL_Mch_CTone_R, CL_Mch_CTone_T,
                               CL_Mch_Text, CL_Mch_RfPo, CL_Mch_Inh, CL_Mch_Scan}) {
            std::string text = Show(CT_Mch, cell, slot);
            while (!text.empty() && text.back() == ' ') text.pop_back();
            texts.push_back(text);
        }
        return texts;
    }
};

TEST_F(ChirpTableTest, APmr446ListGivesTheChannelsItNames) {
    Open(kVariantPmr);
    const std::vector<std::string> rows(std::begin(kPmrList), std::end(kPmrList));
    EepromImage factory;
    factory.Assign(Image());

    // The AM channel refuses the list, with the reason.
    const ImportOutcome all = Import(List(rows));
    EXPECT_EQ(all.refusals, std::vector<std::string>{
                                "line 11, column \"Mode\": 'AM' was not accepted: this radio has "
                                "FM channels only, NFM or FM"});
    EXPECT_TRUE(test::SameImage(Image(), factory)) << "after the refused list";

    TableImport how;
    how.locations = {{1, 9}};
    const ImportOutcome picked = Import(List(rows), how);
    EXPECT_EQ(picked.refusals, std::vector<std::string>{});
    EXPECT_EQ(picked.notes,
              (std::vector<std::string>{
                  "line 9, column \"Name\": 'PMR8 LONG' cut to 'PMR8 LON'",
                  "line 10, column \"Frequency\": 433.075000 MHz lies outside the 446 MHz band "
                  "(446.000000-446.200000) this radio is made for"}));
    const std::vector<std::vector<std::string>> expected = {
        {"446.006250", "<-", "Off", "Off", "PMR1", "High", "Normal", "1__________"},
        {"446.018750", "<-", "Off", "67.0", "PMR2", "High", "Normal", "1__________"},
        {"446.031250", "<-", "100.0", "100.0", "PMR3", "Low", "Normal", "___________"},
        {"446.043750", "<-", "125N", "754I", "PMR4", "High", "Normal", "1__________"},
        {"446.056250", "<-", "123.0", "Off", "PMR5", "Medium", "Normal", "1__________"},
        {"446.068750", "<-", "025I", "Off", "PMR6", "High", "Normal", "1__________"},
        {"446.081250", "<-", "023N", "71.9", "PMR7", "High", "Normal", "1__________"},
        {"446.093750", "<-", "Off", "031I", "PMR8 LON", "High", "Normal", "1__________"},
        {"433.075000", "<-", "Off", "Off", "LPD1", "Very low", "Normal", "1__________"},
    };
    for (int slot = 0; slot < 9; ++slot) EXPECT_EQ(Channel(slot), expected[slot]) << slot;

    // Written back: the rows it read, in the form the format gives them.
    doc.RebuildModelData();
    EepromImage imported;
    imported.Assign(Image());
    const ExportOutcome out = ExportChirp(doc, Entry(), std::nullopt);
    EXPECT_EQ(out.bytes,
              List({"1,PMR1,446.006250,,0.000000,,88.5,88.5,023,NN,NFM,6.25,,,,,,023,Tone->Tone,0.5W",
                    "2,PMR2,446.018750,,0.000000,Tone,67.0,67.0,023,NN,NFM,6.25,,,,,,023,Tone->Tone,"
                    "0.5W",
                    "3,PMR3,446.031250,,0.000000,TSQL,100.0,100.0,023,NN,NFM,6.25,S,,,,,023,Tone->"
                    "Tone,0.1W",
                    "4,PMR4,446.043750,,0.000000,Cross,88.5,88.5,754,RN,NFM,6.25,,,,,,125,DTCS->"
                    "DTCS,0.5W",
                    "5,PMR5,446.056250,,0.000000,TSQL-R,123.0,123.0,023,NN,NFM,6.25,,,,,,023,Tone->"
                    "Tone,0.25W",
                    "6,PMR6,446.068750,,0.000000,DTCS-R,88.5,88.5,025,NR,NFM,6.25,,,,,,025,Tone->"
                    "Tone,0.5W",
                    "7,PMR7,446.081250,,0.000000,Cross,71.9,71.9,023,NN,NFM,6.25,,,,,,023,Tone->DTCS,"
                    "0.5W",
                    "8,PMR8 LON,446.093750,,0.000000,Cross,88.5,88.5,031,RN,NFM,6.25,,,,,,031,DTCS->,"
                    "0.5W",
                    "9,LPD1,433.075000,,0.000000,,88.5,88.5,023,NN,NFM,12.50,,,,,,023,Tone->Tone,"
                    "0.05W"}));
    EXPECT_TRUE(out.notes.empty());

    // And those rows read back give the same image.
    doc.NewFromDefaults();
    EXPECT_TRUE(Import(out.bytes).Ok());
    doc.RebuildModelData();
    EXPECT_TRUE(test::SameImage(Image(), imported)) << "the written list read back";
}

// Each tone mode of the format, and each cross mode, as the two tones of
// this radio (receive, transmit).
TEST_F(ChirpTableTest, ToneModesGiveTheReceiveAndTransmitTones) {
    struct Case {
        const char* tone;
        const char* cross;
        const char* polarity;
        const char* rxDtcs;
        const char* rx;
        const char* tx;
    } cases[] = {
        {"", "Tone->Tone", "NN", "", "Off", "Off"},
        {"Tone", "Tone->Tone", "NN", "", "Off", "67.0"},
        {"TSQL", "Tone->Tone", "NN", "", "100.0", "100.0"},
        {"DTCS", "Tone->Tone", "NN", "", "754N", "754N"},
        {"DTCS", "Tone->Tone", "RN", "", "754N", "754I"},
        {"DTCS", "Tone->Tone", "NR", "023", "023I", "754N"},
        {"TSQL-R", "Tone->Tone", "NN", "", "100.0", "Off"},
        {"DTCS-R", "Tone->Tone", "RR", "", "754I", "Off"},
        {"Cross", "Tone->Tone", "NN", "", "100.0", "67.0"},
        {"Cross", "Tone->DTCS", "NR", "", "754I", "67.0"},
        {"Cross", "DTCS->Tone", "RN", "", "100.0", "754I"},
        {"Cross", "->Tone", "NN", "", "100.0", "Off"},
        {"Cross", "->DTCS", "NN", "023", "023N", "Off"},
        {"Cross", "DTCS->", "NN", "", "Off", "754N"},
        {"Cross", "DTCS->DTCS", "RN", "023", "023N", "754I"},
    };
    Open(kVariantLmr);
    std::vector<std::string> rows;
    int location = 0;
    for (const Case& c : cases) {
        rows.push_back(Format("%d,T%d,150.000000,,0.000000,%s,67.0,100.0,754,%s,NFM,5.00,,,,,,%s,%s,5W",
                              location, location, c.tone, c.polarity, c.rxDtcs, c.cross));
        ++location;
    }
    const ImportOutcome outcome = Import(List(rows));
    ASSERT_EQ(outcome.refusals, std::vector<std::string>{});
    for (int i = 0; i < location; ++i) {
        SCOPED_TRACE(Format("%s %s %s", cases[i].tone, cases[i].cross, cases[i].polarity));
        EXPECT_EQ(Show(CT_Mch, CL_Mch_CTone_R, i), cases[i].rx);
        EXPECT_EQ(Show(CT_Mch, CL_Mch_CTone_T, i), cases[i].tx);
    }
}

// Frequencies and the other columns: Duplex with Offset, narrow and wide
// where the variant has the cell, numbers as a spreadsheet of a
// comma-decimal desktop saves them, columns the list may lack or add.
TEST_F(ChirpTableTest, DuplexModeAndPowerMapOntoTheirCells) {
    Open(kVariantLmr);
    const ImportOutcome outcome = Import(
        "Location;Name;Frequency;Duplex;Offset;Tone;rToneFreq;cToneFreq;DtcsCode;DtcsPolarity;"
        "Mode;TStep;Skip;Comment;URCALL;RPT1CALL;RPT2CALL;Power;Extra\n"
        "1;RPT;145,600000;-;0,600000;;88,5;88,5;023;NN;FM;12,50;;;;;;5.0W;x\n"
        "2;UP;145,500000;+;1;;88.5;88.5;023;NN;NFM;12.50;;;;;;2W;\n"
        "3;SPLIT;150,000000;split;160,000000;;88.5;88.5;023;NN;NFM;12.50;P;;;;;1000mW;\n"
        "4;RXONLY;162,550000;off;0;;88.5;88.5;023;NN;NFM;12.50;;;;;;;\n");
    ASSERT_EQ(outcome.refusals, std::vector<std::string>{});
    struct Expected {
        const char* rx;
        const char* tx;
        const char* txInhibit;
        const char* bandwidth;
        const char* power;
    } expected[] = {
        {"145.600000", "145.000000", "Normal", "Wide", "High"},
        {"145.500000", "146.500000", "Normal", "Narrow", "Medium"},
        {"150.000000", "160.000000", "Normal", "Narrow", "Low"},
        {"162.550000", "<-", "Receive only", "Narrow", "High"},
    };
    for (int slot = 0; slot < 4; ++slot) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(Show(CT_Mch, CL_Mch_FreqR, slot), expected[slot].rx);
        EXPECT_EQ(Show(CT_Mch, CL_Mch_FreqT, slot), expected[slot].tx);
        EXPECT_EQ(Show(CT_Mch, CL_Mch_TxInh, slot), expected[slot].txInhibit);
        EXPECT_EQ(Show(CT_Mch, CL_Mch_Nar, slot), expected[slot].bandwidth);
        EXPECT_EQ(Show(CT_Mch, CL_Mch_RfPo, slot), expected[slot].power);
    }
}

TEST_F(ChirpTableTest, RowsTheRadioCannotTakeAreRefusedWithTheReason) {
    struct Case {
        const char* row;
        const char* refusal;
    } cases[] = {
        {"1,A,446.006250,,0,,88.5,88.5,023,NN,WFM,6.25,,,,,,023,Tone->Tone,0.5W",
         "line 2, column \"Mode\": 'WFM' was not accepted: this radio has FM channels only, NFM "
         "or FM"},
        {"1,A,446.006250,,0,Tone2,88.5,88.5,023,NN,NFM,6.25,,,,,,023,Tone->Tone,0.5W",
         "line 2, column \"Tone\": 'Tone2' was not accepted: the modes are \"\", Tone, TSQL, DTCS, "
         "TSQL-R, DTCS-R and Cross"},
        {"1,A,446.006250,,0,DTCS,88.5,88.5,023,NX,NFM,6.25,,,,,,023,Tone->Tone,0.5W",
         "line 2, column \"DtcsPolarity\": 'NX' was not accepted: two letters, N or R, transmit "
         "first"},
        {"1,A,446.006250,,0,DTCS,88.5,88.5,999,NN,NFM,6.25,,,,,,023,Tone->Tone,0.5W",
         "line 2, column \"DtcsCode\": '999' was not accepted: a DTCS code is up to three octal "
         "digits (023)"},
        {"1,A,446.006250,,0,Cross,88.5,88.5,023,NN,NFM,6.25,,,,,,023,Tone->Foo,0.5W",
         "line 2, column \"CrossMode\": 'Tone->Foo' was not accepted: the cross modes are "
         "Tone->Tone, Tone->DTCS, DTCS->Tone, ->Tone, ->DTCS, DTCS-> and DTCS->DTCS"},
        {"1,A,446.006250,,0,TSQL,88.5,88.6,023,NN,NFM,6.25,,,,,,023,Tone->Tone,0.5W",
         "line 2, column \"cToneFreq\": '88.6' was not accepted: There is no CTCSS tone of "
         "88.6 Hz. A DTCS code is written with its polarity letter: 023N, or 023I for inverted."},
        {"1,A,446.006250,,0,DTCS,88.5,88.5,9,NN,NFM,6.25,,,,,,,Tone->Tone,0.5W",
         "line 2, column \"DtcsCode\": '9' was not accepted: a DTCS code is up to three octal "
         "digits (023)"},
        {"1,A,446.006250,,0,Tone,023N,88.5,023,NN,NFM,6.25,,,,,,,Tone->Tone,0.5W",
         "line 2, column \"rToneFreq\": '023N' was not accepted: a CTCSS frequency in Hz, such "
         "as 88.5"},
        {"1,A,446.006250,x,0,,88.5,88.5,023,NN,NFM,6.25,,,,,,023,Tone->Tone,0.5W",
         "line 2, column \"Duplex\": 'x' was not accepted: Duplex is \"\", +, -, split or off"},
        {"1,A,none,,0,,88.5,88.5,023,NN,NFM,6.25,,,,,,023,Tone->Tone,0.5W",
         "line 2, column \"Frequency\": 'none' was not accepted: a frequency in MHz, such as "
         "446.006250"},
        {"1,Z\xC3\xBCrich,446.006250,,0,,88.5,88.5,023,NN,NFM,6.25,,,,,,023,Tone->Tone,0.5W",
         "line 2, column \"Name\": 'Z\xC3\xBCrich' was not accepted: The radio's display cannot "
         "show \"\xC3\xBC\". Type plain letters, digits and signs, or pick the character from the "
         "table."},
        {"A,A,446.006250,,0,,88.5,88.5,023,NN,NFM,6.25,,,,,,023,Tone->Tone,0.5W",
         "line 2, column \"Location\": 'A' was not accepted: a Location is a whole number"},
        {"1,A,446.006250,,0,,88.5,88.5,023,NN,NFM,6.25,Q,,,,,023,Tone->Tone,0.5W",
         "line 2, column \"Skip\": 'Q' was not accepted: \"\" scans the channel, S skips it"},
        {"1,A,446.006250,,0,,88.5,88.5,023,NN,NFM,6.25,,,,,,023,Tone->Tone,lots",
         "line 2, column \"Power\": 'lots' was not accepted: a power in watts, such as 0.5W"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        Open(kVariantPmr);
        EepromImage before;
        before.Assign(Image());
        const ImportOutcome outcome = Import(List({c.row}));
        EXPECT_EQ(outcome.refusals, std::vector<std::string>{c.refusal});
        EXPECT_TRUE(test::SameImage(Image(), before)) << "after the refusal";
    }
    Open(kVariantPmr);
    const ImportOutcome twice =
        Import(List({"1,A,446.006250,,0,,88.5,88.5,023,NN,NFM,6.25,,,,,,023,Tone->Tone,0.5W",
                     "1,B,446.018750,,0,,88.5,88.5,023,NN,NFM,6.25,,,,,,023,Tone->Tone,0.5W"}));
    EXPECT_EQ(twice.refusals, std::vector<std::string>{
                                  "line 3, column \"Location\": '1' was not accepted: the "
                                  "Location is given by line 2 already"});
    const ImportOutcome lacking = Import("Location,Name,Frequency\r\n1,A,446.006250\r\n");
    EXPECT_EQ(lacking.refusals,
              std::vector<std::string>{
                  "line 1: the list of the CHIRP program lacks the columns Duplex, Offset, Tone, "
                  "rToneFreq, cToneFreq, DtcsCode, DtcsPolarity, Mode"});
}

// The rows picked go to the bank chosen, from its first position, in
// Location order; more than the bank can take refuses the list.
TEST_F(ChirpTableTest, LocationsAndTheBankChooseRowsAndWhereTheyGo) {
    Open(kVariantPmr);
    // Bank 1 keeps its 8 channels and leaves 56 slots free.
    SetBankSize(Image(), 0, 8);
    std::vector<std::string> rows;
    for (int location = 80; location >= 60; --location) {
        rows.push_back(Format("%d,L%d,446.%06d,,0,,88.5,88.5,023,NN,NFM,6.25,,,,,,023,Tone->Tone,"
                              "0.5W",
                              location, location, 6250 + 12500 * (location % 8)));
    }
    TableImport how;
    how.bank = 1;
    how.locations = {{71, 78}};
    const ImportOutcome outcome = Import(List(rows), how);
    ASSERT_EQ(outcome.refusals, std::vector<std::string>{});
    EXPECT_EQ(outcome.rows, 8);
    ASSERT_EQ(BankSize(Image(), 1), 8);
    const int first = BankFirstSlot(Image(), 1);
    for (int p = 0; p < 8; ++p)
        EXPECT_EQ(Show(CT_Mch, CL_Mch_Text, first + p).substr(0, 3), "L" + std::to_string(71 + p));
    EXPECT_EQ(BankSize(Image(), 0), 8);

    // Bank 3 takes the 48 slots no bank uses.
    rows.clear();
    for (int location = 1; location <= 49; ++location)
        rows.push_back(Format("%d,X,446.006250,,0,,88.5,88.5,023,NN,NFM,6.25,,,,,,023,Tone->Tone,"
                              "0.5W",
                              location));
    doc.RebuildModelData();
    EepromImage before;
    before.Assign(Image());
    how.bank = 2;
    how.locations.clear();
    EXPECT_EQ(Import(List(rows), how).refusals,
              std::vector<std::string>{"49 channels are picked, and bank 3 takes 48: its 0 "
                                       "positions and 48 free slots; pick fewer"});
    EXPECT_TRUE(test::SameImage(Image(), before)) << "after the refused list";
    rows.pop_back();
    EXPECT_TRUE(Import(List(rows), how).Ok());
    EXPECT_EQ(BankSize(Image(), 2), 48);
}

// What the format keeps of every variant's channels comes back: frequencies,
// tones, names, bandwidth, scan membership.
TEST_F(ChirpTableTest, WrittenAndReadBackEveryVariantKeepsItsChannels) {
    const char* const kChannels =
        "Bank,Position,Name,Receive,Transmit,Receive tone,Transmit tone,Scan lists\n"
        "1,1,0123,446.100000,446.100000,100.0,100.0,_2_4_______\n"
        "1,2, LEAD,446.006250,<-,023I,023I,___________\n"
        "1,3,DCS,446.018750,<-,754N,754N,1__________\n"
        "1,4,CTCSS,446.031250,<-,67.0,67.0,1__________\n";
    for (const int variant : {kVariantLmr, kVariantPmr, kVariantTarnPmr, kVariantDPmr446}) {
        SCOPED_TRACE(variant);
        Open(variant);
        const ImportOutcome made = ImportChannels(doc, Entry(), kChannels);
        for (const std::string& refusal : made.refusals) ADD_FAILURE() << refusal;
        if (variant == kVariantLmr) {
            EXPECT_TRUE(ImportChannels(doc, Entry(),
                                       "Bank,Position,Bandwidth\n1,1,Wide\n1,2,Narrow\n")
                            .Ok());
        }
        doc.RebuildModelData();
        const ExportOutcome written = ExportChirp(doc, Entry(), std::nullopt);
        ASSERT_TRUE(written.Ok());
        doc.NewFromDefaults();
        const ImportOutcome read = Import(written.bytes);
        for (const std::string& refusal : read.refusals) ADD_FAILURE() << refusal;
        doc.RebuildModelData();
        EXPECT_EQ(ExportChirp(doc, Entry(), std::nullopt).bytes, written.bytes);
    }
}

}  // namespace
}  // namespace parlo
