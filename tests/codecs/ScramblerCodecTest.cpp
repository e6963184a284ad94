#include <gtest/gtest.h>

#include "codecs/ScramblerCodec.h"
#include "tests/support/CodecRequests.h"

namespace parlo {
namespace {

using namespace test;

TEST(ScramblerCodec, InversionAndCodeNumbers) {
    struct Case {
        CellRequest request;
        CodecResult result;
        int value;  // from 7
        const char* shown;
    } cases[] = {
        {Drawn(), CodecResult::Unchanged, 7, "7"},
        {Committed("inv"), CodecResult::Changed, 0, "Inv"},
        {Committed(" Inversion"), CodecResult::Changed, 0, "Inv"},
        {Committed("12"), CodecResult::Changed, 12, "12"},
        {Committed("300"), CodecResult::Changed, 255, "255"},
        {Committed("-5"), CodecResult::Rejected, 7, ""},  // not made code 5, nor 0
        {Committed("12,0"), CodecResult::Changed, 12, "12"},
        {Committed("1e2"), CodecResult::Rejected, 7, ""},
        {Committed("in"), CodecResult::Rejected, 7, ""},
        {Committed(""), CodecResult::Rejected, 7, ""},
        {Picked(0), CodecResult::Changed, 0, "Inv"},
        {Picked(2), CodecResult::Rejected, 7, ""},
        {Pressed(kKeySpace), CodecResult::Changed, 8, "8"},
        {Pressed(kKeyBackspace), CodecResult::Changed, 6, "6"},
    };
    for (Case& c : cases) {
        int value = 7;
        EXPECT_EQ(ScramblerCodec(c.request, value), c.result) << c.request.editText;
        EXPECT_EQ(value, c.value) << c.request.editText;
        if (c.result != CodecResult::Rejected) {
            EXPECT_EQ(c.request.text, c.shown);
        }
    }
}

TEST(ScramblerCodec, StepsWrapAroundTheWholeRange) {
    for (auto [before, key, after] : {std::tuple{255, kKeySpace, 0}, {0, kKeyBackspace, 255}}) {
        int value = before;
        CellRequest r = Pressed(key);
        ScramblerCodec(r, value);
        EXPECT_EQ(value, after);
    }
}

TEST(ScramblerCodec, PopupAndEditor) {
    int value = 0;
    CellRequest enter = Pressed(kKeyEnter);
    ScramblerCodec(enter, value);
    EXPECT_EQ(enter.requestEdit, kEditPopup);
    EXPECT_EQ(enter.popup.list, "GI_Sheet_Sel_Mch_ScramCode");
    EXPECT_EQ(enter.popup.current, 0);

    value = 42;
    CellRequest typeIn = Picked(1);
    EXPECT_EQ(ScramblerCodec(typeIn, value), CodecResult::Unchanged);
    EXPECT_EQ(typeIn.requestEdit, kEditInPlace);
    EXPECT_EQ(typeIn.text, "42");

    for (int key : {'i', 'I', '.', '9'}) {
        CellRequest r = Pressed(key);
        ScramblerCodec(r, value);
        EXPECT_EQ(r.requestEdit, kEditInPlace) << key;
        EXPECT_EQ(r.text, std::string(1, static_cast<char>(key)));
    }
}

}  // namespace
}  // namespace parlo
