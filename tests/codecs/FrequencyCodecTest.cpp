#include <gtest/gtest.h>

#include "codecs/ColourCodeCodec.h"
#include "codecs/DPmrFrequencyCodec.h"
#include "codecs/FrequencyCodec.h"
#include "tests/support/CodecRequests.h"

namespace parlo {
namespace {

using namespace test;

FrequencyFields Channel(uint32_t rx, uint32_t tx) {
    FrequencyFields f;
    f.rx = rx;
    f.tx = tx;
    f.present = rx != 0;
    return f;
}

TEST(FrequencyCodec, TypedFrequenciesSnapToTheRasterWithinTheTypedResolution) {
    struct Case {
        const char* typed;
        std::optional<uint32_t> hz;
    } cases[] = {
        {"446.1", 446'100'000},
        {"446.00625", 446'006'250},  // a multiple of 3,125 Hz
        {"446.0063", std::nullopt},  // nothing on the raster in 446.006300..446.006399
        {"446.0062", 446'006'250},   // snaps up within 446.006200..446.006299
        {"446.0125", 446'012'500},
        {"145", 145'000'000},
        {"145.", 145'000'000},
        {" 145 MHz", 145'000'000},
        {"446.006250", 446'006'250},   // the shown text is cut to nine
                                       // characters
        {"12.3456789", std::nullopt},  // 12.345678 typed to the hertz is off the raster
        {"800", kHighestFrequency},    // the top of the range
        {"999.9", kHighestFrequency},
        {"0", std::nullopt},
        {".", std::nullopt},
        {"", std::nullopt},
        {"MHz", std::nullopt},
        // A decimal comma is a decimal mark; what makes another number is refused.
        {"446,00625", 446'006'250},
        {" 446,1 MHz", 446'100'000},
        {"446,006250", 446'006'250},
        {"-5", std::nullopt},
        {"-446.1", std::nullopt},
        {"1e3", std::nullopt},
        {"446,006,25", std::nullopt},
        {"1.446,1", std::nullopt},
        {"446.1.2", std::nullopt},
        {"446 1", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseFrequency(c.typed), c.hz) << c.typed;
}

TEST(FrequencyCodec, ShowsMegahertzWithSixDecimals) {
    EXPECT_EQ(FrequencyText(446'006'250), "446.006250");
    EXPECT_EQ(FrequencyText(5'000), "0.005000");
    EXPECT_EQ(FrequencyText(kHighestFrequency), "799.999950");
}

TEST(FrequencyCodec, RejectedInputLeavesTheChannelAlone) {
    FrequencyFields f = Channel(446'100'000, 446'100'000);
    CellRequest r = Committed("446.0063");
    EXPECT_EQ(FrequencyCodec(r, f, Direction::Receive), CodecResult::Rejected);
    EXPECT_EQ(f.rx, 446'100'000u);
    EXPECT_EQ(f.tx, 446'100'000u);
}

TEST(FrequencyCodec, ReceiveEdits) {
    struct Case {
        const char* name;
        FrequencyFields before;
        const char* typed;
        uint32_t rx, tx;
        bool inhibit;
    } cases[] = {
        {"blank channel starts with both sides", FrequencyFields{}, "145", 145'000'000, 145'000'000,
         true},
        {"equal sides move together", Channel(145'000'000, 145'000'000), "146", 146'000'000,
         146'000'000, false},
        {"a split keeps its transmit side", Channel(145'000'000, 145'600'000), "146", 146'000'000,
         145'600'000, false},
    };
    for (const Case& c : cases) {
        FrequencyFields f = c.before;
        CellRequest r = Committed(c.typed);
        EXPECT_EQ(FrequencyCodec(r, f, Direction::Receive), CodecResult::Changed) << c.name;
        EXPECT_TRUE(f.present) << c.name;
        EXPECT_EQ(f.rx, c.rx) << c.name;
        EXPECT_EQ(f.tx, c.tx) << c.name;
        EXPECT_EQ(f.inhibit, c.inhibit) << c.name;
    }
}

TEST(FrequencyCodec, TransmitEdits) {
    FrequencyFields f = Channel(145'000'000, 145'000'000);
    CellRequest r = Committed("145.6");
    EXPECT_EQ(FrequencyCodec(r, f, Direction::Transmit), CodecResult::Changed);
    EXPECT_EQ(f.rx, 145'000'000u);
    EXPECT_EQ(f.tx, 145'600'000u);
    EXPECT_EQ(r.text, "145.600000");

    FrequencyFields blank;
    CellRequest onBlank = Committed("145");
    EXPECT_EQ(FrequencyCodec(onBlank, blank, Direction::Transmit), CodecResult::Rejected);
    EXPECT_FALSE(blank.present);
}

TEST(FrequencyCodec, CellTexts) {
    struct Case {
        FrequencyFields f;
        Direction direction;
        const char* text;
    } cases[] = {
        {FrequencyFields{}, Direction::Receive, ""},
        {FrequencyFields{}, Direction::Transmit, ""},
        {Channel(446'006'250, 446'006'250), Direction::Receive, "446.006250"},
        {Channel(446'006'250, 446'006'250), Direction::Transmit, "<-"},
        {Channel(446'006'250, 445'000'000), Direction::Transmit, "445.000000"},
    };
    for (Case& c : cases) {
        CellRequest r = Drawn();
        EXPECT_EQ(FrequencyCodec(r, c.f, c.direction), CodecResult::Unchanged);
        EXPECT_EQ(r.text, c.text);
        EXPECT_FALSE(r.fontColour);
    }
}

TEST(FrequencyCodec, TransmitInhibitShowsTheTransmitSideInOlive) {
    FrequencyFields f = Channel(145'000'000, 145'600'000);
    f.txInhibit = true;
    CellRequest tx = Drawn();
    FrequencyCodec(tx, f, Direction::Transmit);
    EXPECT_EQ(tx.fontColour, kFontOlive);
    CellRequest rx = Drawn();
    FrequencyCodec(rx, f, Direction::Receive);
    EXPECT_FALSE(rx.fontColour);
}

TEST(FrequencyCodec, KeysOpenTheEditor) {
    struct Case {
        int key;
        Direction direction;
        const char* text;
        int caretStart, caretLength;
    } cases[] = {
        {'4', Direction::Receive, "4", 1, 0},
        {'.', Direction::Receive, "145.000000", 4, 0},  // caret just after the "."
        {',', Direction::Receive, "145.000000", 4, 0},  // the keypad's decimal key
        {kKeyEnter, Direction::Receive, "145.000000", 0, 10},
        {kKeySpace, Direction::Transmit, "145.600000", 0, 10},
        {kKeyBackspace, Direction::Transmit, "145.600000", 0, 10},
        {'=', Direction::Transmit, "145.000000", 0, 10},  // the receive frequency
    };
    for (const Case& c : cases) {
        FrequencyFields f = Channel(145'000'000, 145'600'000);
        CellRequest r = Pressed(c.key);
        EXPECT_EQ(FrequencyCodec(r, f, c.direction), CodecResult::Unchanged);
        EXPECT_EQ(r.requestEdit, kEditInPlace) << c.key;
        EXPECT_EQ(r.text, c.text) << c.key;
        EXPECT_EQ(r.caretStart, c.caretStart) << c.key;
        EXPECT_EQ(r.caretLength, c.caretLength) << c.key;
    }
    FrequencyFields f = Channel(145'000'000, 145'600'000);
    CellRequest equalsOnReceive = Pressed('=');
    FrequencyCodec(equalsOnReceive, f, Direction::Receive);
    EXPECT_EQ(equalsOnReceive.requestEdit, kEditNone);
}

TEST(DPmrFrequencyCodec, ChannelListSetsSignalModeAndColourCodes) {
    struct Case {
        int item;
        uint32_t hz;
        uint8_t signalMode;
        int colourCode;  // 0: left as it was
    } cases[] = {
        {0, 446'006'250, kSignalAnalog, 0},    {7, 446'093'750, kSignalAnalog, 0},
        {8, 446'103'125, kSignalDigital, 1},   {19, 446'171'875, kSignalDigital, 12},
        {23, 446'196'875, kSignalDigital, 16},
    };
    for (const Case& c : cases) {
        FrequencyFields f = Channel(446'006'250, 446'006'250);
        f.freeFrequency = true;
        f.signalMode = kSignalDigital;
        f.rxColourCode = f.txColourCode = 0x123456;
        CellRequest r = Picked(c.item);
        DPmrFrequencyCodec(r, f, Direction::Receive);
        EXPECT_EQ(f.rx, c.hz) << c.item;
        EXPECT_EQ(f.tx, c.hz) << c.item;
        EXPECT_FALSE(f.freeFrequency) << c.item;
        EXPECT_EQ(f.signalMode, c.signalMode) << c.item;
        uint32_t cc = c.colourCode ? ColourCodePattern(c.colourCode) : 0x123456;
        EXPECT_EQ(f.rxColourCode, cc) << c.item;
        EXPECT_EQ(f.txColourCode, cc) << c.item;
        EXPECT_EQ(r.text, FrequencyText(c.hz));
    }
}

TEST(DPmrFrequencyCodec, ChoosingOnABlankRowMakesAChannel) {
    FrequencyFields f;
    CellRequest r = Picked(8);
    EXPECT_EQ(DPmrFrequencyCodec(r, f, Direction::Receive), CodecResult::Changed);
    EXPECT_TRUE(f.present);
    EXPECT_EQ(f.tx, 446'103'125u);
    EXPECT_EQ(f.signalMode, kSignalDigital);
}

TEST(DPmrFrequencyCodec, FreeEntryMakesAnAnalogChannel) {
    FrequencyFields f = Channel(446'103'125, 446'103'125);
    f.signalMode = kSignalDigital;
    CellRequest free = Picked(kDPmr446FreeItem);
    EXPECT_EQ(DPmrFrequencyCodec(free, f, Direction::Receive), CodecResult::Changed);
    EXPECT_TRUE(f.freeFrequency);
    EXPECT_EQ(f.signalMode, kSignalAnalog);
    EXPECT_EQ(free.requestEdit, kEditInPlace);
    EXPECT_EQ(free.text, "446.103125");

    FrequencyFields g = Channel(446'103'125, 446'103'125);
    g.signalMode = kSignalDigital;
    CellRequest typed = Committed("446.2");
    EXPECT_EQ(DPmrFrequencyCodec(typed, g, Direction::Receive), CodecResult::Changed);
    EXPECT_EQ(g.rx, 446'200'000u);
    EXPECT_TRUE(g.freeFrequency);
    EXPECT_EQ(g.signalMode, kSignalAnalog);

    CellRequest offRaster = Committed("446.0063");
    EXPECT_EQ(DPmrFrequencyCodec(offRaster, g, Direction::Receive), CodecResult::Rejected);
    EXPECT_EQ(g.rx, 446'200'000u);
    CellRequest beyond = Picked(kDPmr446FreeItem + 1);
    EXPECT_EQ(DPmrFrequencyCodec(beyond, g, Direction::Receive), CodecResult::Rejected);
}

TEST(DPmrFrequencyCodec, KeysOpenTheChannelList) {
    struct Case {
        FrequencyFields f;
        int current;
    } cases[] = {
        {Channel(446'109'375, 446'109'375), 9},
        {Channel(446'500'000, 446'500'000), kDPmr446FreeItem},
        {FrequencyFields{}, -1},
    };
    for (Case& c : cases) {
        for (int key : {kKeyEnter, kKeySpace, kKeyBackspace, int{'4'}}) {
            CellRequest r = Pressed(key);
            EXPECT_EQ(DPmrFrequencyCodec(r, c.f, Direction::Receive), CodecResult::Unchanged);
            EXPECT_EQ(r.requestEdit, kEditPopup) << key;
            EXPECT_EQ(r.popup.list, "GI_Sheet_Sel_Mch_Freq");
            EXPECT_EQ(r.popup.current, c.current);
        }
    }
}

}  // namespace
}  // namespace parlo
