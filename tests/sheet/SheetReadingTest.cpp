// The plain text a screen reader gets for what is painted: display bytes
// and the marks of tree nodes.
#include <gtest/gtest.h>

#include "sheet/SheetReading.h"
#include "sheet/TreeModel.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

class SheetReadingTest : public ::testing::Test {
protected:
    test::ScopedOverlay overlay{{
        "#GI_AppInd_Reading",
        "user character %d",
        "marked as an error",
        "marked with a warning",
        "1 channel with errors",
        "%d channels with errors",
        "1 channel with warnings",
        "%d channels with warnings",
        "with errors",
        "with warnings",
        "#",
    }};
};

TEST_F(SheetReadingTest, DisplayBytesReadAsTheTextTheyShow) {
    const struct {
        std::vector<uint8_t> bytes;
        const char* text;
    } cases[] = {
        {{'P', 'M', 'R', ' ', '1', ' ', ' ', ' '}, "PMR 1"},  // trailing blanks dropped
        {{'A', 0xC2, 0x20, 0x20}, "AB."},                      // the dot after B
        {{0x80, 'X'}, ".X"},  // a lone dot: a blank with a dot
        {{'A', 0x12, 'B'}, "A user character 3 B"},
        {{'A', 'B', 0x00, 'C'}, "AB"},  // 0 ends the text, as on the radio
    };
    for (const auto& c : cases) EXPECT_EQ(DisplayPlainText(c.bytes), c.text) << c.text;
}

TEST_F(SheetReadingTest, TreeNodesSayTheirMarks) {
    TreeNode node;
    node.caption = "Bank 2  BANK 2";
    EXPECT_EQ(TreeNodeReading(node), "Bank 2 BANK 2");
    const struct {
        int overlay, errors, warnings;
        const char* says;
    } cases[] = {
        {1, 0, 3, "Bank 2 BANK 2, 3 channels with warnings"},
        {0, 1, 2, "Bank 2 BANK 2, 1 channel with errors, 2 channels with warnings"},
        {0, 2, 0, "Bank 2 BANK 2, 2 channels with errors"},
        {1, 0, 1, "Bank 2 BANK 2, 1 channel with warnings"},
        {1, 0, 0, "Bank 2 BANK 2, with warnings"},  // a folder marked for what is below it
        {0, 0, 0, "Bank 2 BANK 2, with errors"},
    };
    for (const auto& c : cases) {
        node.overlay = c.overlay;
        node.errorChannels = c.errors;
        node.warningChannels = c.warnings;
        EXPECT_EQ(TreeNodeReading(node), c.says);
    }
}

}  // namespace
}  // namespace parlo
