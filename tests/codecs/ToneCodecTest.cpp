// The tone codec reads its lists from the shipped overlay, so these tests
// also hold the lists to the positions the codec relies on.
#include <gtest/gtest.h>

#include "codecs/FrequencyCodec.h"
#include "codecs/OverlayList.h"
#include "codecs/ToneCodec.h"
#include "model/ModelVariant.h"
#include "tests/support/CodecRequests.h"

namespace parlo {
namespace {

using namespace test;

Tone Ctcss(int index) { return CtcssTone(index); }
Tone Dtcs(uint16_t code, bool inverted) { return DtcsTone(code, inverted); }
const Tone kOff{};

TEST(ToneLists, ShippedListsHaveTheirItemsWhereTheCodecLooks) {
    for (int variant : {kVariantLmr, kVariantDPmr446}) {
        std::string list = ToneList(variant);
        EXPECT_EQ(ListCount(list), 54) << list;
        EXPECT_EQ(ListItem(list, kToneOffItem), "Off") << list;
        EXPECT_EQ(ListItem(list, kToneDtcsItem), "DTCS...") << list;
        for (int i = 0; i < 50; ++i) EXPECT_EQ(ListItem(list, i), ListItem("GI_AppItem_Ctcss", i));
    }
    EXPECT_EQ(ListCount("GI_AppItem_Ctcss"), 50);
    EXPECT_EQ(ListCount("GI_AppItem_Dtcs"), 104);
    EXPECT_EQ(ListCount("GI_Sheet_Sel_Mch_Dtcs"), 104);
    EXPECT_EQ(ListCount("GI_Sheet_Sel_Mch_DtcsInv"), 2);
    for (int i = 0; i < 104; ++i) {
        auto code = ParseDtcsCode(*ListItem("GI_AppItem_Dtcs", i));
        ASSERT_TRUE(code) << i;
        EXPECT_EQ(DtcsListIndex(*code), i);
    }
}

TEST(ToneCodec, CellTexts) {
    struct Case {
        Tone tone;
        int variant;
        const char* text;
    } cases[] = {
        {kOff, kVariantLmr, "Off"},
        {Ctcss(0), kVariantLmr, "67.0"},
        {Ctcss(8), kVariantPmr, "88.5"},
        {Ctcss(49), kVariantLmr, "254.1"},
        {Ctcss(50), kVariantLmr, "User tone 1"},
        {Ctcss(60), kVariantLmr, "60"},
        {Dtcs(19, true), kVariantLmr, "023I"},
        {Dtcs(0777, false), kVariantTarnPmr, "777N"},
        {Dtcs(19, false), kVariantDPmr446, "023N"},
        {Dtcs(0777, true), kVariantDPmr446, "777I"},  // not a standard code: shown in octal
    };
    for (const Case& c : cases) {
        ToneFields f{c.tone, c.tone, kSignalAnalog};
        CellRequest r = Drawn();
        EXPECT_EQ(ToneCodec(r, f, Direction::Receive, c.variant), CodecResult::Unchanged);
        EXPECT_EQ(r.text, c.text);
        EXPECT_FALSE(r.fontColour);
    }
}

TEST(ToneCodec, TypedTones) {
    struct Case {
        const char* typed;
        int variant;
        std::optional<Tone> tone;  // nothing: rejected
    } cases[] = {
        {"023I", kVariantLmr, Dtcs(19, true)},
        {"023", kVariantLmr, Dtcs(19, false)},
        {"023n", kVariantLmr, Dtcs(19, false)},
        {"777", kVariantLmr, Dtcs(0777, false)},
        {"777", kVariantDPmr446, std::nullopt},  // only standard codes there
        {"023i", kVariantDPmr446, Dtcs(19, true)},
        {"100", kVariantLmr, Dtcs(0100, false)},  // three octal digits are a DTCS code
        {"100", kVariantDPmr446, Ctcss(12)},      // 100 is no standard code: 100.0 Hz
        {"023X", kVariantLmr, std::nullopt},
        {"88.5", kVariantLmr, Ctcss(8)},
        {"67", kVariantLmr, Ctcss(0)},     // the only name it begins
        {"10", kVariantLmr, Ctcss(12)},    // the first of several
        {"1", kVariantLmr, std::nullopt},  // several, one character
        {"88.50", kVariantLmr, Ctcss(8)},  // the same number
        {"254.1", kVariantDPmr446, Ctcss(49)},
        {"88,5", kVariantLmr, Ctcss(8)},  // a decimal comma: the same tone
        {"88,50 Hz", kVariantLmr, Ctcss(8)},
        {"254,1", kVariantDPmr446, Ctcss(49)},
        {"8,85", kVariantLmr, std::nullopt},
        {"off", kVariantLmr, kOff},
        {"55", kVariantLmr, std::nullopt},
        {"", kVariantLmr, std::nullopt},
    };
    for (const Case& c : cases) {
        ToneFields f{Ctcss(3), Ctcss(3), kSignalAnalog};
        CellRequest r = Committed(c.typed);
        CodecResult result = ToneCodec(r, f, Direction::Receive, c.variant);
        if (!c.tone) {
            EXPECT_EQ(result, CodecResult::Rejected) << c.typed;
            EXPECT_EQ(f.rx, Ctcss(3)) << c.typed;
            continue;
        }
        EXPECT_EQ(result, CodecResult::Changed) << c.typed;
        EXPECT_EQ(f.rx, *c.tone) << c.typed;
    }
}

TEST(ToneCodec, ChoosingFromTheLists) {
    struct Case {
        const char* name;
        Tone before;
        CellRequest request;
        int variant;
        std::optional<Tone> after;  // nothing: rejected
        PopupKind next;             // the list opened next, List for none
    } cases[] = {
        {"a tone", kOff, Picked(8), kVariantLmr, Ctcss(8), PopupKind::List},
        {"a user tone", kOff, Picked(51), kVariantLmr, Ctcss(51), PopupKind::List},
        {"no user tones in dPMR446", kOff, Picked(50), kVariantDPmr446, std::nullopt,
         PopupKind::List},
        {"off", Ctcss(8), Picked(kToneOffItem), kVariantLmr, kOff, PopupKind::List},
        {"DTCS starts at the first code", Ctcss(8), Picked(kToneDtcsItem), kVariantLmr,
         Dtcs(023, false), PopupKind::DtcsCode},
        {"DTCS keeps a DTCS tone", Dtcs(0754, true), Picked(kToneDtcsItem), kVariantLmr,
         Dtcs(0754, true), PopupKind::DtcsCode},
        {"DTCS code", Dtcs(023, true), Picked(1, PopupKind::DtcsCode), kVariantLmr, Dtcs(025, true),
         PopupKind::DtcsPolarity},
        {"polarity", Dtcs(025, false), Picked(1, PopupKind::DtcsPolarity), kVariantLmr,
         Dtcs(025, true), PopupKind::List},
        {"beyond the list", kOff, Picked(54), kVariantLmr, std::nullopt, PopupKind::List},
        {"beyond the codes", kOff, Picked(104, PopupKind::DtcsCode), kVariantLmr, std::nullopt,
         PopupKind::List},
        {"no third polarity", kOff, Picked(2, PopupKind::DtcsPolarity), kVariantLmr, std::nullopt,
         PopupKind::List},
    };
    for (Case& c : cases) {
        ToneFields f{c.before, c.before, kSignalAnalog};
        CodecResult result = ToneCodec(c.request, f, Direction::Receive, c.variant);
        if (!c.after) {
            EXPECT_EQ(result, CodecResult::Rejected) << c.name;
            EXPECT_EQ(f.rx, c.before) << c.name;
            continue;
        }
        EXPECT_EQ(f.rx, *c.after) << c.name;
        EXPECT_EQ(f.tx, *c.after) << c.name << ": equal tones move together";
        if (c.next == PopupKind::List) {
            EXPECT_EQ(c.request.requestEdit, kEditNone) << c.name;
        } else {
            EXPECT_EQ(c.request.requestEdit, kEditPopup) << c.name;
            EXPECT_EQ(c.request.popup.kind, c.next) << c.name;
        }
    }
}

TEST(ToneCodec, TheDtcsChainNamesItsLists) {
    ToneFields f{kOff, kOff, kSignalAnalog};
    CellRequest dtcs = Picked(kToneDtcsItem);
    ToneCodec(dtcs, f, Direction::Receive, kVariantLmr);
    EXPECT_EQ(dtcs.popup.list, "GI_Sheet_Sel_Mch_Dtcs");
    EXPECT_EQ(dtcs.popup.current, 0);
    CellRequest code = Picked(103, PopupKind::DtcsCode);
    ToneCodec(code, f, Direction::Receive, kVariantLmr);
    EXPECT_EQ(code.popup.list, "GI_Sheet_Sel_Mch_DtcsInv");
    EXPECT_EQ(code.popup.current, 0);
    CellRequest polarity = Picked(1, PopupKind::DtcsPolarity);
    ToneCodec(polarity, f, Direction::Receive, kVariantLmr);
    EXPECT_EQ(f.rx, Dtcs(0754, true));
    EXPECT_EQ(polarity.text, "754I");
}

TEST(ToneCodec, SpaceAndBackspaceWalkTheTonesAndOff) {
    struct Case {
        Tone before;
        int key, variant;
        Tone after;
    } cases[] = {
        {kOff, kKeySpace, kVariantLmr, Ctcss(0)},
        {kOff, kKeyBackspace, kVariantLmr, Ctcss(51)},
        {kOff, kKeyBackspace, kVariantDPmr446, Ctcss(49)},
        {Ctcss(51), kKeySpace, kVariantLmr, kOff},
        {Ctcss(49), kKeySpace, kVariantDPmr446, kOff},
        {Ctcss(5), kKeyBackspace, kVariantLmr, Ctcss(4)},
        {Dtcs(023, false), kKeySpace, kVariantLmr, Ctcss(0)},
    };
    for (const Case& c : cases) {
        ToneFields f{c.before, c.before, kSignalAnalog};
        CellRequest r = Pressed(c.key);
        EXPECT_EQ(ToneCodec(r, f, Direction::Receive, c.variant), CodecResult::Changed);
        EXPECT_EQ(f.rx, c.after);
    }
}

TEST(ToneCodec, KeysOpenTheListOrTheEditor) {
    ToneFields f{Ctcss(8), kOff, kSignalAnalog};
    CellRequest enter = Pressed(kKeyEnter);
    ToneCodec(enter, f, Direction::Receive, kVariantLmr);
    EXPECT_EQ(enter.requestEdit, kEditPopup);
    EXPECT_EQ(enter.popup.list, "GI_Sheet_Sel_Mch_CTone");
    EXPECT_EQ(enter.popup.current, 8);
    CellRequest onTx = Pressed(kKeyEnter);
    ToneCodec(onTx, f, Direction::Transmit, kVariantDPmr446);
    EXPECT_EQ(onTx.requestEdit, kEditNone);  // read-only there
    CellRequest digit = Pressed('8');
    ToneCodec(digit, f, Direction::Receive, kVariantDPmr446);
    EXPECT_EQ(digit.requestEdit, kEditInPlace);
    EXPECT_EQ(digit.text, "8");
}

TEST(ToneCodec, TransmitFollowsOnlyWhenBothWereEqual) {
    ToneFields split{Ctcss(8), kOff, kSignalAnalog};
    CellRequest r = Committed("100.0");
    ToneCodec(r, split, Direction::Receive, kVariantLmr);
    EXPECT_EQ(split.rx, Ctcss(12));
    EXPECT_EQ(split.tx, kOff);

    ToneFields same{Ctcss(8), Ctcss(8), kSignalAnalog};
    CellRequest tx = Committed("100.0");
    ToneCodec(tx, same, Direction::Transmit, kVariantLmr);
    EXPECT_EQ(same.rx, Ctcss(8));  // the receive side never follows
    EXPECT_EQ(same.tx, Ctcss(12));
}

TEST(ToneCodec, OnlyTheReceiveToneIsEditedInDPmr446) {
    ToneFields f{Ctcss(8), Ctcss(8), kSignalAnalog};
    for (CellRequest r : {Committed("100.0"), Picked(3)}) {
        EXPECT_EQ(ToneCodec(r, f, Direction::Transmit, kVariantDPmr446), CodecResult::Rejected);
    }
    CellRequest space = Pressed(kKeySpace);
    EXPECT_EQ(ToneCodec(space, f, Direction::Transmit, kVariantDPmr446), CodecResult::Unchanged);
    EXPECT_EQ(f.tx, Ctcss(8));
    CellRequest rx = Committed("100.0");
    EXPECT_EQ(ToneCodec(rx, f, Direction::Receive, kVariantDPmr446), CodecResult::Changed);
    EXPECT_EQ(f.tx, Ctcss(12));
}

TEST(ToneCodec, GreyOnDigitalChannels) {
    ToneFields f{Ctcss(8), Ctcss(8), kSignalDigital};
    CellRequest r = Drawn();
    ToneCodec(r, f, Direction::Transmit, kVariantDPmr446);
    EXPECT_EQ(r.fontColour, kFontSilver);
}

}  // namespace
}  // namespace parlo
