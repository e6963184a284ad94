// Channels as CSV: what export writes, what import refuses, and that an
// export imported into a factory file of the same variant gives back the
// channels and banks byte for byte.
#include <gtest/gtest.h>

#include "app/ChannelTable.h"
#include "tests/support/CellHarness.h"
#include "tests/support/ExpectedImage.h"

namespace parlo {
namespace {

// Where the channels and banks live in the image: the main records (34
// bytes per slot at 0x7F80), the extension records (12 bytes per slot at
// 0x927D), the scan-list bitmaps (11 x 8 bytes at 0x8820), the bank sizes
// (five words at 0x95CD) and the channel references (0x0145, 0x0146,
// 0x9595).
struct Range {
    int32_t first, last;
};
constexpr Range kChannelBytes[] = {{0x7F80, 0x7F80 + 34 * 64 - 1},
                                   {0x927D, 0x927D + 12 * 64 - 1},
                                   {0x8820, 0x8820 + 8 * 11 - 1},
                                   {0x95CD, 0x95D6},
                                   {0x0145, 0x0146},
                                   {0x9595, 0x9595}};

class ChannelTableTest : public test::CellHarness {
protected:
    DispatchFunction Entry() { return cells.Entry(); }

    std::string Header() {
        std::string header = "Bank,Position";
        for (const ChannelColumn& c : ChannelColumns(doc, Entry())) header += "," + c.heading;
        return header;
    }

    // The image with the channel bytes of `from` and everything else of
    // `to`, packed as every edit packs it.
    EepromImage Expected(const EepromImage& from, const EepromImage& to) {
        EepromImage expected;
        expected.Assign(to);
        for (const Range& r : kChannelBytes) {
            for (int32_t a = r.first; a <= r.last; ++a) expected.SetByte(a, from.GetByte(a));
        }
        EepromImage keep;
        keep.Assign(Image());
        Image().Assign(expected);
        doc.RebuildModelData();
        expected.Assign(Image());
        Image().Assign(keep);
        return expected;
    }
};

// Channels with every column away from a new channel's text, per variant:
// changed factory channels, and on LMR (which has none) new ones.
struct RoundTrip {
    int variant;
    std::vector<std::string> rows;
};

const RoundTrip kRoundTrips[] = {
    {kVariantLmr,
     {"1,1,,AB,ALPHA,Inhibited,150.012500,155.025000,Receive only,Narrow,67.0,023N,Low,Off,Busy "
      "channel,_2_4_______,On,On,On,Scrambler,5,Off,Monitor 1,Select 1,On,On,On,Timer A,Log 1,"
      "2-tone code 1,_2______",
      "1,2,,,B,Normal,160.000000,<-,Normal,Wide,Off,Off,High,On,Off,1__________,Off,Off,Off,"
      "Off,Inv,On,Monitor 0,Select 0,Off,Off,Off,Off,Log 0,Off,________"}},
    {kVariantPmr,
     {
         "1,2,,,ALPHA,Inhibited,446.093750,446.106250,Receive only,67.0,023N,Low,Off,Busy channel,"
         "_2_4_______,On,On,On,Scrambler,5,Off,Monitor 1,Select 1,On,On,On,Timer A,Log 1,Format 1,"
         "Position 1,5,Long first tone,6,Long first tone,7,Long first tone,_2______",
     }},
    {kVariantTarnPmr,
     {
         "1,2,,,ALPHA,Inhibited,446.093750,446.106250,Receive only,67.0,023N,Low,Off,Busy channel,"
         "_2_4_______,On,On,On,Scrambler,5,Off,Monitor 1,Select 1,On,On,On,Timer A,Log 1,Format 1,"
         "Position 1,5,Long first tone,6,Long first tone,7,Long first tone,_2______,MSK,On,On,None,"
         "ID group 2,_2_____,",
     }},
    {kVariantDPmr446,
     {
         "1,2,,,ALPHA,Inhibited,446.106250,<-,Receive only,Analog,1,1,7,67.0,67.0,Low,Off,Busy "
         "channel,_2_4_______,On,On,On,Scrambler,5,Off",
     }},
};

TEST_F(ChannelTableTest, ExportThenImportIntoAFactoryFileGivesTheSameChannels) {
    for (const RoundTrip& trip : kRoundTrips) {
        SCOPED_TRACE(trip.variant);
        Open(trip.variant);
        EepromImage factory;
        factory.Assign(Image());
        std::string csv = Header() + "\n";
        for (const std::string& row : trip.rows) csv += row + "\n";
        const ImportOutcome made = ImportChannels(doc, Entry(), csv);
        for (const std::string& refusal : made.refusals) ADD_FAILURE() << refusal;
        EepromImage source;
        source.Assign(Image());

        const std::string exported = ExportChannels(doc, Entry());
        doc.NewFromDefaults();
        const ImportOutcome outcome = ImportChannels(doc, Entry(), exported);
        for (const std::string& refusal : outcome.refusals) ADD_FAILURE() << refusal;
        doc.RebuildModelData();
        EXPECT_TRUE(test::SameImage(Image(), Expected(source, factory))) << "imported";
        EXPECT_EQ(ExportChannels(doc, Entry()), exported);
    }
}

}  // namespace
}  // namespace parlo

namespace parlo {
namespace {

TEST_F(ChannelTableTest, RefusedTablesNameEveryRefusalAndChangeNothing) {
    struct Case {
        const char* name;
        std::string csv;
        std::vector<std::string> refusals;
    } cases[] = {
        {"unknown column named",
         "Bank,Position,Colour\n1,1,red\n",
         {"line 1: \"Colour\" is not a column of the bank sheet"}},
        {"no position", "Bank,Name\n1,X\n", {"line 1: the header has no column \"Position\""}},
        {"bad values, each with its line and heading",
         "Bank,Position,Name,Receive\n1,2,OK,446.018750\n9,1,X,446.0\n1,1,FINE,nonsense\n",
         {"line 3, column \"Bank\": '9' was not accepted",
          "line 4, column \"Receive\": 'nonsense' was not accepted"}},
        {"a gap past the bank's end",
         "Bank,Position,Name\n2,5,X\n",
         {"line 2, column \"Position\": '5' was not accepted"}},
        {"broken quoting", "Bank,Position\n\"1,2\n", {"line 2: a quoted field is not closed"}},
        {"numbers that would be read as other numbers, each with its reason",
         "Bank,Position,Receive,Transmit\n1,1,-5\n1,2,1e3,\"446,006,25\"\n",
         {"line 2, column \"Receive\": '-5' was not accepted: This value cannot be negative.",
          "line 3, column \"Receive\": '1e3' was not accepted: Type the number in plain digits, "
          "without an exponent.",
          "line 3, column \"Transmit\": '446,006,25' was not accepted: A number takes one "
          "decimal mark, \".\" or \",\", and no thousands separator."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Open(kVariantPmr);
        EepromImage before;
        before.Assign(Image());
        const ImportOutcome outcome = ImportChannels(doc, Entry(), c.csv);
        EXPECT_EQ(outcome.refusals, c.refusals);
        EXPECT_TRUE(outcome.notes.empty());
        EXPECT_TRUE(test::SameImage(Image(), before)) << "after a refused import";
    }
}

// A value typed the way the user's desktop writes it is taken as typed; one
// the cell stores as another value is taken, and said so.
TEST_F(ChannelTableTest, ValuesStoredOtherThanTypedAreNoted) {
    Open(kVariantPmr);
    const std::string csv =
        "Bank,Position,Receive,Transmit,Receive tone,Scrambler code\n"
        "1,1,\"446,1 MHz\",\"446,0187\",\"88,5\",12\n"
        "1,2,900,<-,Off,\"7,0\"\n"
        "1,3,446.00625,446.0312,67 Hz,\"7,9\"\n";
    const ImportOutcome outcome = ImportChannels(doc, Entry(), csv);
    EXPECT_TRUE(outcome.refusals.empty()) << outcome.refusals.front();
    EXPECT_EQ(outcome.notes, (std::vector<std::string>{
                                 "line 2, column \"Transmit\": '446,0187' stored as 446.018750",
                                 "line 3, column \"Receive\": '900' stored as 799.999950",
                                 "line 4, column \"Transmit\": '446.0312' stored as 446.031250",
                                 "line 4, column \"Scrambler code\": '7,9' stored as 7",
                             }));
    struct Shown {
        int cell;
        int32_t slot;
        const char* text;
    } shown[] = {
        {CL_Mch_FreqR, 0, "446.100000"}, {CL_Mch_FreqT, 0, "446.018750"},
        {CL_Mch_CTone_R, 0, "88.5"},     {CL_Mch_Scrm_Code, 0, "12"},
        {CL_Mch_FreqR, 1, "799.999950"}, {CL_Mch_Scrm_Code, 1, "7"},
        {CL_Mch_FreqR, 2, "446.006250"}, {CL_Mch_FreqT, 2, "446.031250"},
        {CL_Mch_CTone_R, 2, "67.0"},     {CL_Mch_Scrm_Code, 2, "7"},
    };
    for (const Shown& s : shown)
        EXPECT_EQ(Show(CT_Mch, s.cell, s.slot), s.text) << s.cell << " " << s.slot;
}

}  // namespace
}  // namespace parlo
