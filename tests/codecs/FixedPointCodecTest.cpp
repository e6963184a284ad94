#include <gtest/gtest.h>

#include "codecs/FixedPointCodec.h"
#include "tests/support/CodecRequests.h"

namespace parlo {
namespace {

using namespace test;

TEST(FixedPointCodec, ParsingRoundsHalfAwayFromZeroExactly) {
    struct Case {
        const char* typed;
        int scale;
        std::optional<int64_t> value;
    } cases[] = {
        {"0.005", 2, 1},  // binary floating point would make this 0.49999...
        {"-0.005", 2, -1},
        {"0.0049", 2, 0},
        {"2.555", 2, 256},
        {"2.554", 2, 255},
        {"1", 2, 100},
        {".5", 0, 1},
        {"-.5", 0, -1},
        {"12.", 1, 120},
        {"99.975", 6, 99'975'000},
        {"-99.9750005", 6, -99'975'001},
        {" 3 ", 0, 3},
        {".", 2, std::nullopt},
        {"-", 2, std::nullopt},
        {"", 2, std::nullopt},
        {"1.2.3", 2, std::nullopt},
        {"1-2", 2, std::nullopt},
        {"--1", 2, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseFixedPoint(c.typed, c.scale), c.value) << c.typed;
}

TEST(FixedPointCodec, Texts) {
    struct Case {
        int64_t value;
        int scale, decimals;
        const char* text;
    } cases[] = {
        {255, 2, 2, "  2.55"},           {1, 2, 2, "  0.01"},     {5, 0, 3, "  5.000"},
        {60, 0, 3, " 60.000"},           {1234, 1, 1, "123.4"},   {7, 0, 0, "  7"},
        {-500'000, 6, 4, " -0.5000"},    // the sign survives a zero whole part
        {12'345'650, 6, 4, " 12.3457"},  // rounded half away from zero
        {-12'345'650, 6, 4, "-12.3457"}, {-40, 6, 4, "  0.0000"},  // rounds to zero: no sign
        {-99'975'000, 6, 4, "-99.9750"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FixedPointText(c.value, c.scale, c.decimals), c.text) << c.value;
    }
}

TEST(FixedPointCodec, CommittedValuesAreClampedToTheRange) {
    const FixedPointParams cents{2, 2, 0.01, 2.55};
    const FixedPointParams offset{6, 4, -99.975, 99.975};
    struct Case {
        const char* typed;
        FixedPointParams params;
        CodecResult result;
        int64_t value;  // from 100
    } cases[] = {
        {"2.5", cents, CodecResult::Changed, 250},
        {"3", cents, CodecResult::Changed, 255},
        {"0", cents, CodecResult::Changed, 1},
        {"0.005", cents, CodecResult::Changed, 1},
        {"1.00", cents, CodecResult::Unchanged, 100},
        {"1.5 s", cents, CodecResult::Changed, 150},
        {"-100", offset, CodecResult::Changed, -99'975'000},
        {"12.5", offset, CodecResult::Changed, 12'500'000},
        {"abc", cents, CodecResult::Rejected, 100},
        {"", cents, CodecResult::Rejected, 100},
        {"2,5", cents, CodecResult::Changed, 250},
        {"-12,5", offset, CodecResult::Changed, -12'500'000},
        {"-1", cents, CodecResult::Rejected, 100},  // the range has no negative value
        {"1e-2", cents, CodecResult::Rejected, 100},
        {"1,2.5", cents, CodecResult::Rejected, 100},
    };
    for (const Case& c : cases) {
        int64_t value = 100;
        CellRequest r = Committed(c.typed);
        EXPECT_EQ(FixedPointCodec(r, value, c.params), c.result) << c.typed;
        EXPECT_EQ(value, c.value) << c.typed;
    }
}

TEST(FixedPointCodec, Keys) {
    const FixedPointParams cents{2, 2, 0, 2.55};
    const FixedPointParams offset{6, 4, -99.975, 99.975};
    int64_t value = 255;
    CellRequest enter = Pressed(kKeyEnter);
    FixedPointCodec(enter, value, cents);
    EXPECT_EQ(enter.requestEdit, kEditInPlace);
    EXPECT_EQ(enter.text, "  2.55");
    CellRequest dot = Pressed('.');
    FixedPointCodec(dot, value, cents);
    EXPECT_EQ(dot.text, ".");
    CellRequest minus = Pressed('-');
    FixedPointCodec(minus, value, cents);
    EXPECT_EQ(minus.requestEdit, kEditNone);
    FixedPointCodec(minus, value, offset);
    EXPECT_EQ(minus.requestEdit, kEditInPlace);
    EXPECT_EQ(value, 255);
}

}  // namespace
}  // namespace parlo
