// The number reader and writer every layer uses: the same digits on every
// desktop, whatever LC_NUMERIC says.
#include <gtest/gtest.h>

#include <clocale>
#include <limits>

#include "platform/NumberText.h"

namespace parlo {
namespace {

TEST(NumberText, ReadsWholeIntegers) {
    struct Case {
        const char* text;
        int base;
        std::optional<int64_t> value;
    } cases[] = {
        {"12", 10, 12},
        {"-7", 10, -7},
        {"0", 10, 0},
        {"2927", 16, 0x2927},
        {"a0fF", 16, 0xA0FF},
        {"+7", 10, std::nullopt},
        {" 7", 10, std::nullopt},
        {"7 ", 10, std::nullopt},
        {"7x", 10, std::nullopt},
        {"1.5", 10, std::nullopt},
        {"", 10, std::nullopt},
        {"-", 10, std::nullopt},
        {"99999999999999999999", 10, std::nullopt},
        {"0x1F", 16, std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadInteger(c.text, c.base), c.value) << c.text;
}

TEST(NumberText, ReadsTheIntegerAtTheStart) {
    struct Case {
        const char* text;
        std::optional<int64_t> value;
        size_t length;
    } cases[] = {
        {"12,5)", 12, 2},        {"-3 ", -3, 2},         {"+40x", 40, 3},
        {" 1", std::nullopt, 0}, {"x", std::nullopt, 0}, {"+", std::nullopt, 0},
        {"", std::nullopt, 0},
    };
    for (const Case& c : cases) {
        size_t length = 0;
        EXPECT_EQ(ReadLeadingInteger(c.text, &length), c.value) << c.text;
        EXPECT_EQ(length, c.length) << c.text;
    }
}

TEST(NumberText, ReadsTheIntegerATextBeginsWith) {
    struct Case {
        const char* text;
        int value;
    } cases[] = {
        {"12", 12},
        {"  12,3", 12},
        {"\t-4x", -4},
        {"+5", 5},
        {"x5", 0},
        {"", 0},
        {"-", 0},
        {"99999999999", std::numeric_limits<int>::max()},
        {"-99999999999", std::numeric_limits<int>::min()},
    };
    for (const Case& c : cases) EXPECT_EQ(LeadingInteger(c.text), c.value) << c.text;
}

TEST(NumberText, ReadsDecimalsAndScalesThemWithoutBinaryFractions) {
    struct Case {
        const char* text;
        int scale;
        int64_t scaled;
        bool exact;
    } cases[] = {
        {"446.00625", 6, 446'006'250, true},
        {"446.0062501", 6, 446'006'250, false},
        {"0.0000005", 6, 1, false},  // half a unit rounds away from zero
        {"-21.7", 6, -21'700'000, true},
        {"-0.05", 1, -1, false},
        {"0.049", 1, 0, false},
        {"1.25", 1, 13, false},
        {"145", 6, 145'000'000, true},
        {"145.", 0, 145, true},
        {".5", 0, 1, false},
        {"+2.50", 1, 25, true},
        {"99999999999999999999999", 0, kDecimalLimit, true},
        {"99999999999999999999999", 6, kDecimalLimit, true},
    };
    for (const Case& c : cases) {
        const auto d = ReadDecimal(c.text);
        ASSERT_TRUE(d) << c.text;
        bool exact = !c.exact;
        EXPECT_EQ(d->Scaled(c.scale, &exact), c.scaled) << c.text;
        EXPECT_EQ(exact, c.exact) << c.text;
    }
    for (const char* text : {"", ".", "-", "1,5", "1.2.3", "1e3", " 1", "1 ", "0x10", "--1"})
        EXPECT_FALSE(ReadDecimal(text)) << text;
}

TEST(NumberText, ComparesDecimalsByValue) {
    auto same = [](const char* a, const char* b) {
        return ReadDecimal(a)->SameValue(*ReadDecimal(b));
    };
    EXPECT_TRUE(same("2.50", "2.5"));
    EXPECT_TRUE(same("007", "7."));
    EXPECT_TRUE(same("-0", "0.000"));
    EXPECT_TRUE(same("446.00625", "446.006250"));
    EXPECT_FALSE(same("-1", "1"));
    EXPECT_FALSE(same("1.05", "1.5"));
    EXPECT_FALSE(same("10", "1"));
    EXPECT_DOUBLE_EQ(ReadDecimal("-1.5")->Real(), -1.5);
    EXPECT_DOUBLE_EQ(ReadDecimal(".25")->Real(), 0.25);
    EXPECT_DOUBLE_EQ(ReadDecimal("3.")->Real(), 3.0);
}

TEST(NumberText, WritesAsPrintfDoesInTheCLocale) {
    EXPECT_EQ(IntegerText(0), "0");
    EXPECT_EQ(IntegerText(-1234567), "-1234567");
    EXPECT_EQ(IntegerText(std::numeric_limits<int64_t>::min()), "-9223372036854775808");
    EXPECT_EQ(IntegerText(5, 3, ' '), "  5");  // "%3d"
    EXPECT_EQ(IntegerText(-5, 3, ' '), " -5");
    EXPECT_EQ(IntegerText(-5, 3, '0'), "-05");  // "%03d"
    EXPECT_EQ(IntegerText(1234, 2, '0'), "1234");
    EXPECT_EQ(HexText(0x2927, 4), "2927");
    EXPECT_EQ(HexText(0xab, 4), "00AB");
    EXPECT_EQ(HexText(0xABCDEF), "ABCDEF");
    EXPECT_EQ(UnsignedText(023, 8, 3), "023");  // "%03o"
    EXPECT_EQ(UnsignedText(0777, 8, 3), "777");
    EXPECT_EQ(DecimalText(446'006'250, 6), "446.006250");
    EXPECT_EQ(DecimalText(5'000, 6), "0.005000");
    EXPECT_EQ(DecimalText(-5, 2), "-0.05");
    EXPECT_EQ(DecimalText(7, 0), "7");
    EXPECT_EQ(RealText(21.44, 1), "21.4");
    EXPECT_EQ(RealText(0.05, 1), "0.1");
    EXPECT_EQ(RealText(2.25, 1), "2.2");  // the binary value, as printf rounds it
    EXPECT_EQ(RealText(-3, 2), "-3.00");
}

// The desktops the users live on: their C library writes a decimal comma,
// and nothing here may notice.
TEST(NumberText, TheSameInLocalesWithADecimalComma) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8"}) {
        ASSERT_NE(std::setlocale(LC_ALL, name), nullptr)
            << name << " is not installed (make test generates it)";
        EXPECT_STREQ(std::localeconv()->decimal_point, ",") << name;
        EXPECT_EQ(RealText(1.5, 1), "1.5") << name;
        EXPECT_EQ(DecimalText(1'500, 3), "1.500") << name;
        EXPECT_DOUBLE_EQ(ReadDecimal("1.5")->Real(), 1.5) << name;
        EXPECT_FALSE(ReadDecimal("1,5")) << name;
        EXPECT_EQ(LeadingInteger("1,5"), 1) << name;
    }
    std::setlocale(LC_ALL, before.c_str());
}

}  // namespace
}  // namespace parlo
