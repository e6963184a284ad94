#include <gtest/gtest.h>

#include "codecs/ListCodec.h"
#include "codecs/OverlayList.h"
#include "tests/support/CodecRequests.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

using namespace test;

class ListCodecTest : public ::testing::Test {
protected:
    // The section after the list must never show through.
    test::ScopedOverlay overlay{
        {"#Colours", "Red", "Green", "Blue", "#", "#Next", "Intruder", "#End_Of_Ovl"}};
};

TEST_F(ListCodecTest, ListItemsStopAtTheEndOfTheList) {
    EXPECT_EQ(ListCount("Colours"), 3);
    EXPECT_EQ(ListItem("Colours", 2), "Blue");
    EXPECT_EQ(ListItem("Colours", 3), std::nullopt);
    EXPECT_EQ(ListItem("Colours", 5), std::nullopt);
    EXPECT_EQ(ListItem("Colours", -1), std::nullopt);
    EXPECT_EQ(FindListItem("Colours", " green "), 1);
    EXPECT_EQ(FindListItem("Colours", "Intruder"), -1);
}

TEST_F(ListCodecTest, ShowsTheItemOrTheBareNumberBeyondTheList) {
    for (auto [value, text] : {std::pair{0, "Red"}, {2, "Blue"}, {4, "4"}}) {
        CellRequest r = Drawn();
        EXPECT_EQ(ListCodec(r, value, "Colours"), CodecResult::Unchanged);
        EXPECT_EQ(r.text, text);
        EXPECT_EQ(r.requestEdit, kEditNone);
    }
}

TEST_F(ListCodecTest, SpaceAndBackspaceStepWithWrapAround) {
    struct Case {
        int before, key, after;
    } cases[] = {
        {0, kKeySpace, 1}, {2, kKeySpace, 0},     {0, kKeyBackspace, 2}, {1, kKeyBackspace, 0},
        {7, kKeySpace, 0}, {7, kKeyBackspace, 2},  // a stored value beyond the list
    };
    for (const Case& c : cases) {
        int value = c.before;
        CellRequest r = Pressed(c.key);
        EXPECT_EQ(ListCodec(r, value, "Colours"), CodecResult::Changed) << c.before;
        EXPECT_EQ(value, c.after) << c.before << " key " << c.key;
        EXPECT_EQ(r.text, *ListItem("Colours", c.after));
    }
}

TEST_F(ListCodecTest, EnterOpensThePopupOfTheGivenKind) {
    int value = 1;
    CellRequest r = Pressed(kKeyEnter);
    EXPECT_EQ(ListCodec(r, value, "Colours", PopupKind::Signalling), CodecResult::Unchanged);
    EXPECT_EQ(r.requestEdit, kEditPopup);
    EXPECT_EQ(r.popup.kind, PopupKind::Signalling);
    EXPECT_EQ(r.popup.list, "Colours");
    EXPECT_EQ(r.popup.current, 1);
    EXPECT_EQ(r.text, "Green");

    value = 9;  // nothing to mark in the list
    CellRequest beyond = Pressed(kKeyEnter);
    ListCodec(beyond, value, "Colours");
    EXPECT_EQ(beyond.popup.current, -1);
}

TEST_F(ListCodecTest, ChoosingAndTypingAnItem) {
    struct Case {
        CellRequest request;
        CodecResult result;
        int after;
    } cases[] = {
        {Picked(2), CodecResult::Changed, 2},
        {Picked(0), CodecResult::Unchanged, 0},
        {Picked(3), CodecResult::Rejected, 0},
        {Picked(-1), CodecResult::Rejected, 0},
        {Picked(1, PopupKind::DtcsCode), CodecResult::Rejected, 0},  // another list's answer
        {Committed("blue"), CodecResult::Changed, 2},
        {Committed("Purple"), CodecResult::Rejected, 0},
        {Committed(""), CodecResult::Rejected, 0},
    };
    for (Case& c : cases) {
        int value = 0;
        EXPECT_EQ(ListCodec(c.request, value, "Colours"), c.result) << c.request.editText;
        EXPECT_EQ(value, c.after) << c.request.editText;
    }
}

TEST_F(ListCodecTest, KeysOutsideASheetAreIgnored) {
    int value = 0;
    CellRequest r = Pressed(kKeySpace);
    r.grid = false;
    EXPECT_EQ(ListCodec(r, value, "Colours"), CodecResult::Unchanged);
    EXPECT_EQ(value, 0);
}

}  // namespace
}  // namespace parlo
