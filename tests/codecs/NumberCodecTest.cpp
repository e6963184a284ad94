#include <gtest/gtest.h>

#include "codecs/NumberCodec.h"
#include "tests/support/CodecRequests.h"

namespace parlo {
namespace {

using namespace test;

NumberParams Range(int minimum, int maximum, int offset = 0, int step = 1, bool clamp = false) {
    NumberParams p;
    p.minimum = minimum;
    p.maximum = maximum;
    p.offset = offset;
    p.step = step;
    p.clamp = clamp;
    return p;
}

// The text is read as a number (a decimal comma or a unit allowed); its
// fraction is cut off, the result rounded to the step and limited to the
// range. The request says when the value stored is not the one typed.
TEST(NumberCodec, CommittedText) {
    struct Case {
        const char* typed;
        NumberParams params;
        CodecResult result;
        int after;  // stored value; starts at 3
        bool adjusted = false;
    } cases[] = {
        {"5", Range(0, 10, 1), CodecResult::Changed, 4},  // the offset comes off
        {" 7 ", Range(0, 10), CodecResult::Changed, 7},
        {"12", Range(-20, 20, 0, 5), CodecResult::Changed, 10, true},
        {"13", Range(-20, 20, 0, 5), CodecResult::Changed, 15, true},  // 2.6 steps
        {"-13", Range(-20, 20, 0, 5), CodecResult::Changed, -15, true},
        {"-15", Range(-20, 20, 0, 5), CodecResult::Changed, -15},
        {"7", Range(0, 20, 0, 2), CodecResult::Changed, 8, true},  // half a step rounds away from 0
        {"-7", Range(-20, 20, 0, 2), CodecResult::Changed, -8, true},
        {"99", Range(1, 16), CodecResult::Changed, 16, true},
        {"-5", Range(1, 16), CodecResult::Rejected, 3},      // no negative value to be had
        {"-5", Range(0, 10, -10), CodecResult::Changed, 5},  // the cell shows -10..0
        {"99999999999999999999999", Range(1, 16), CodecResult::Changed, 16, true},
        {"16", Range(1, 16), CodecResult::Changed, 16},
        {"17", Range(0, 20, 1), CodecResult::Changed, 16},  // 17 less the offset fits
        {"3", Range(0, 10), CodecResult::Unchanged, 3},
        {"4x", Range(0, 10), CodecResult::Changed, 4},
        {"3x", Range(0, 10), CodecResult::Unchanged, 3},
        {"4.6", Range(0, 10), CodecResult::Changed, 4, true},  // not rounded: cut
        {"4,6", Range(0, 10), CodecResult::Changed, 4, true},
        {"4.0", Range(0, 10), CodecResult::Changed, 4},
        {" -2.9 V", Range(-5, 10), CodecResult::Changed, -2, true},
        {"+8", Range(0, 10), CodecResult::Changed, 8},
        {"12ab", Range(0, 10), CodecResult::Changed, 10, true},
        {".5", Range(0, 10), CodecResult::Changed, 0, true},
        {"1e3", Range(0, 10), CodecResult::Rejected, 3},
        {"1,000.5", Range(0, 10), CodecResult::Rejected, 3},
        {"", Range(0, 10), CodecResult::Rejected, 3},
        {"abc", Range(0, 10), CodecResult::Rejected, 3},
        {"x4", Range(0, 10), CodecResult::Rejected, 3},
        {"4 5", Range(0, 10), CodecResult::Rejected, 3},
        {"-", Range(-5, 10), CodecResult::Rejected, 3},
        {"- 4", Range(-5, 10), CodecResult::Rejected, 3},
    };
    for (const Case& c : cases) {
        int value = 3;
        CellRequest r = Committed(c.typed);
        EXPECT_EQ(NumberCodec(r, value, c.params), c.result) << c.typed;
        EXPECT_EQ(value, c.after) << c.typed;
        EXPECT_EQ(r.adjusted, c.adjusted) << c.typed;
        if (c.result != CodecResult::Rejected) {
            EXPECT_EQ(r.text, std::to_string(c.after + c.params.offset)) << c.typed;
        }
    }
}

TEST(NumberCodec, StepsWrapOrStopAtTheLimits) {
    struct Case {
        int before, key;
        bool clamp;
        int after;
    } cases[] = {
        {16, kKeySpace, false, 1}, {1, kKeyBackspace, false, 16}, {5, kKeySpace, false, 6},
        {16, kKeySpace, true, 16}, {1, kKeyBackspace, true, 1},   {5, kKeyBackspace, true, 4},
    };
    for (const Case& c : cases) {
        int value = c.before;
        CellRequest r = Pressed(c.key);
        NumberCodec(r, value, Range(1, 16, 0, 1, c.clamp));
        EXPECT_EQ(value, c.after) << c.before << (c.clamp ? " clamped" : "");
        EXPECT_EQ(r.text, std::to_string(c.after));
    }
}

TEST(NumberCodec, ShowsValuePlusOffsetOrTheFixedText) {
    int value = 4;
    CellRequest r = Drawn();
    NumberCodec(r, value, Range(0, 10, 1));
    EXPECT_EQ(r.text, "5");
    NumberParams fixed = Range(0, 10);
    fixed.fixedText = "Auto";
    NumberCodec(r, value, fixed);
    EXPECT_EQ(r.text, "Auto");
}

TEST(NumberCodec, KeysThatOpenTheEditor) {
    int value = 4;
    CellRequest digit = Pressed('7');
    NumberCodec(digit, value, Range(0, 10, 1));
    EXPECT_EQ(digit.requestEdit, kEditInPlace);
    EXPECT_EQ(digit.text, "7");
    EXPECT_EQ(digit.caretStart, 1);

    CellRequest enter = Pressed(kKeyEnter);
    NumberCodec(enter, value, Range(0, 10, 1));
    EXPECT_EQ(enter.requestEdit, kEditInPlace);
    EXPECT_EQ(enter.text, "5");
    EXPECT_EQ(enter.caretLength, 1);  // all of it selected

    CellRequest minus = Pressed('-');
    NumberCodec(minus, value, Range(0, 10));
    EXPECT_EQ(minus.requestEdit, kEditNone);  // no negative values here
    NumberCodec(minus, value, Range(-10, 10));
    EXPECT_EQ(minus.requestEdit, kEditInPlace);
    EXPECT_EQ(minus.text, "-");
    EXPECT_EQ(value, 4);
}

}  // namespace
}  // namespace parlo
