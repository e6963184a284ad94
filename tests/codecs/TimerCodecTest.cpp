// Timers in units of 1/divisor, and minutes and seconds.
#include <gtest/gtest.h>

#include "codecs/MinSecCodec.h"
#include "codecs/TimerCodec.h"
#include "tests/support/CodecRequests.h"

namespace parlo {
namespace {

using namespace test;

TimerParams Timer(int divisor, int minimum, int maximum, bool off = false, int trim = 0) {
    return TimerParams{divisor, minimum, maximum, off, trim};
}

TEST(TimerCodec, CellTexts) {
    struct Case {
        int value;
        TimerParams params;
        const char* text;
    } cases[] = {
        {5, Timer(1, 0, 255), "  5.000"},
        {5, Timer(1, 0, 255, false, 3), "  5"},  // all decimals and the "." trimmed
        {15, Timer(10, 0, 255, false, 2), "  1.5"},
        {15, Timer(10, 0, 255, false, 1), "  1.50"},
        {1275, Timer(1000, 100, 1275), "  1.275"},
        {100, Timer(1000, 100, 1275, false, 3), "  0.1"},
        {0, Timer(1, 0, 255, true), "Off"},
        {0, Timer(1, 0, 255, false), "  0.000"},
        {180, Timer(1, 0, 180), "180.000"},
    };
    for (const Case& c : cases) {
        int value = c.value;
        CellRequest r = Drawn();
        EXPECT_EQ(TimerCodec(r, value, c.params), CodecResult::Unchanged);
        EXPECT_EQ(r.text, c.text) << c.value;
    }
}

TEST(TimerCodec, TypedTimes) {
    struct Case {
        const char* typed;
        TimerParams params;
        CodecResult result;
        int value;  // from 7
    } cases[] = {
        {"of", Timer(1, 0, 255, true), CodecResult::Changed, 0},
        {" OFF", Timer(1, 0, 255, true), CodecResult::Changed, 0},
        {"off", Timer(1, 0, 255, false), CodecResult::Rejected, 7},  // cannot be switched off
        {"1.5", Timer(10, 0, 255), CodecResult::Changed, 15},
        {"0.1", Timer(1000, 0, 1275), CodecResult::Changed, 100},
        {"0.0004", Timer(1000, 0, 255), CodecResult::Changed, 0},
        {"0.0016", Timer(1000, 0, 255), CodecResult::Changed, 2},
        {"300", Timer(1, 0, 255), CodecResult::Changed, 255},
        {"200", Timer(1, 0, 180), CodecResult::Changed, 180},
        {"0.05", Timer(1000, 100, 1275), CodecResult::Changed, 100},
        {"12 s", Timer(1, 0, 255), CodecResult::Changed, 12},
        {"7", Timer(1, 0, 255), CodecResult::Unchanged, 7},
        {"", Timer(1, 0, 255), CodecResult::Rejected, 7},
        {".", Timer(1, 0, 255), CodecResult::Rejected, 7},
        {"soon", Timer(1, 0, 255), CodecResult::Rejected, 7},
        {"1,5", Timer(10, 0, 255), CodecResult::Changed, 15},
        {"1,5 s", Timer(10, 0, 255), CodecResult::Changed, 15},
        {"0,0016", Timer(1000, 0, 255), CodecResult::Changed, 2},
        {"-5", Timer(1, 0, 255), CodecResult::Rejected, 7},
        {"1e2", Timer(1, 0, 255), CodecResult::Rejected, 7},
        {"1,5.0", Timer(10, 0, 255), CodecResult::Rejected, 7},
    };
    for (const Case& c : cases) {
        int value = 7;
        CellRequest r = Committed(c.typed);
        EXPECT_EQ(TimerCodec(r, value, c.params), c.result) << c.typed;
        EXPECT_EQ(value, c.value) << c.typed;
    }
}

TEST(TimerCodec, Keys) {
    TimerParams p = Timer(1, 0, 255, true);
    int value = 255;
    CellRequest space = Pressed(kKeySpace);
    EXPECT_EQ(TimerCodec(space, value, p), CodecResult::Changed);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(space.text, "Off");
    CellRequest back = Pressed(kKeyBackspace);
    TimerCodec(back, value, p);
    EXPECT_EQ(value, 255);

    value = 0;
    CellRequest enter = Pressed(kKeyEnter);  // the editor gets the number, not the off text
    TimerCodec(enter, value, p);
    EXPECT_EQ(enter.requestEdit, kEditInPlace);
    EXPECT_EQ(enter.text, "  0.000");
    for (int key : {'o', 'O', '.', ',', '3'}) {
        CellRequest r = Pressed(key);
        TimerCodec(r, value, p);
        EXPECT_EQ(r.requestEdit, kEditInPlace) << key;
        EXPECT_EQ(r.text, std::string(1, static_cast<char>(key)));
    }
}

const MinSecParams kHalfMinutes{0, 3570, 30};

TEST(MinSecCodec, CellTexts) {
    for (auto [value, text] : {std::pair{0, " 0:00"}, {3, " 1:30"}, {119, "59:30"}}) {
        int v = value;
        CellRequest r = Drawn();
        MinSecCodec(r, v, kHalfMinutes);
        EXPECT_EQ(r.text, text);
    }
    int seconds = 75;
    CellRequest r = Drawn();
    MinSecCodec(r, seconds, MinSecParams{0, 255, 1});
    EXPECT_EQ(r.text, " 1:15");
}

TEST(MinSecCodec, TypedTimesRoundToTheNearestUnit) {
    struct Case {
        const char* typed;
        MinSecParams params;
        CodecResult result;
        int value;  // from 5
    } cases[] = {
        {"1:15", kHalfMinutes, CodecResult::Changed, 3},  // 15 s is half a unit: up
        {"1:14", kHalfMinutes, CodecResult::Changed, 2},
        {"2", kHalfMinutes, CodecResult::Changed, 4},    // minutes only
        {":45", kHalfMinutes, CodecResult::Changed, 2},  // seconds only
        {"0:90", kHalfMinutes, CodecResult::Changed, 3},
        {"99:99", kHalfMinutes, CodecResult::Changed, 119},
        {"12345:00", kHalfMinutes, CodecResult::Changed, 119},  // at most "mm:ss" is read
        {"0:00", MinSecParams{30, 3570, 30}, CodecResult::Changed, 1},
        {"2:30", kHalfMinutes, CodecResult::Unchanged, 5},
        {"", kHalfMinutes, CodecResult::Rejected, 5},
        {":", kHalfMinutes, CodecResult::Rejected, 5},
        {"later", kHalfMinutes, CodecResult::Rejected, 5},
        // Neither digits of another time nor a sign dropped.
        {"1.5", kHalfMinutes, CodecResult::Rejected, 5},
        {"1,5", kHalfMinutes, CodecResult::Rejected, 5},
        {"-1:30", kHalfMinutes, CodecResult::Rejected, 5},
    };
    for (const Case& c : cases) {
        int value = 5;
        CellRequest r = Committed(c.typed);
        EXPECT_EQ(MinSecCodec(r, value, c.params), c.result) << c.typed;
        EXPECT_EQ(value, c.value) << c.typed;
    }
}

TEST(MinSecCodec, Keys) {
    MinSecParams p{30, 3570, 30};
    int value = 119;
    CellRequest space = Pressed(kKeySpace);
    MinSecCodec(space, value, p);
    EXPECT_EQ(value, 1);
    CellRequest back = Pressed(kKeyBackspace);
    MinSecCodec(back, value, p);
    EXPECT_EQ(value, 119);
    CellRequest colon = Pressed(':');
    MinSecCodec(colon, value, p);
    EXPECT_EQ(colon.requestEdit, kEditInPlace);
    EXPECT_EQ(colon.text, ":");
}

}  // namespace
}  // namespace parlo
