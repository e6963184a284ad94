// Numbers as people type them into cells: "." or "," for the decimals, a
// unit or blanks around the number dropped, and whatever would make another
// number of the text refused with the reason.
#include <gtest/gtest.h>

#include "codecs/FrequencyCodec.h"
#include "codecs/TimerCodec.h"
#include "codecs/TypedNumber.h"
#include "overlay/OverlayText.h"
#include "tests/support/CodecRequests.h"

namespace parlo {
namespace {

using namespace test;

TEST(TypedNumber, DecimalMarksUnitsAndRefusals) {
    struct Case {
        const char* typed;
        bool negativeAllowed;
        const char* value;  // as ReadDecimal reads it, or nullptr when refused
        NumberFault fault;
        const char* digits = "";
    } cases[] = {
        {"446.00625", false, "446.00625", NumberFault::None, "446.00625"},
        {"446,00625", false, "446.00625", NumberFault::None, "446.00625"},
        {" 446,00625 MHz ", false, "446.00625", NumberFault::None, "446.00625"},
        {"446.00625MHz", false, "446.00625", NumberFault::None, "446.00625"},
        {"\t1,5 s", false, "1.5", NumberFault::None, "1.5"},
        {"88,5 Hz", false, "88.5", NumberFault::None, "88.5"},
        {",5", false, "0.5", NumberFault::None, ".5"},
        {"145.", false, "145", NumberFault::None, "145."},
        {"+7", false, "7", NumberFault::None, "7"},
        {"-21,7", true, "-21.7", NumberFault::None, "21.7"},
        {"-5", false, nullptr, NumberFault::Negative},
        {"- 5", true, nullptr, NumberFault::NotANumber},
        {"1e3", false, nullptr, NumberFault::Exponent},
        {"1.5E-3", true, nullptr, NumberFault::Exponent},
        {"2 e5", false, nullptr, NumberFault::NotANumber},  // digits after the unit
        {"1.234,5", false, nullptr, NumberFault::Marks},
        {"1,234.5", false, nullptr, NumberFault::Marks},
        {"1,234,567", false, nullptr, NumberFault::Marks},
        {"1.2.3", false, nullptr, NumberFault::Marks},
        {"446 006", false, nullptr, NumberFault::NotANumber},
        {"ca. 446", false, nullptr, NumberFault::NotANumber},
        {"MHz", false, nullptr, NumberFault::NotANumber},
        {".", false, nullptr, NumberFault::NotANumber},
        {"", false, nullptr, NumberFault::NotANumber},
        {"3 eggs", false, "3", NumberFault::None, "3"},
    };
    for (const Case& c : cases) {
        const TypedNumber t = ReadTypedNumber(c.typed, c.negativeAllowed);
        EXPECT_EQ(t.fault, c.fault) << c.typed;
        ASSERT_EQ(t.number.has_value(), c.value != nullptr) << c.typed;
        if (c.value == nullptr) continue;
        EXPECT_TRUE(t.number->SameValue(*ReadDecimal(c.value))) << c.typed;
        EXPECT_EQ(t.digits, c.digits) << c.typed;
    }
}

// What the user reads when a number is refused; plain garbage is simply not
// accepted.
TEST(TypedNumber, RefusalsGiveTheirReason) {
    struct Case {
        const char* typed;
        const char* reason;
    } cases[] = {
        {"-5", "GI_AppMess_Number_Negative"},
        {"1e3", "GI_AppMess_Number_Exponent"},
        {"446,006,25", "GI_AppMess_Number_Marks"},
        {"1.000,5", "GI_AppMess_Number_Marks"},
        {"nonsense", nullptr},
    };
    for (const Case& c : cases) {
        FrequencyFields f;
        f.present = true;
        f.rx = f.tx = 446'006'250;
        CellRequest r = Committed(c.typed);
        EXPECT_EQ(FrequencyCodec(r, f, Direction::Receive), CodecResult::Rejected) << c.typed;
        EXPECT_EQ(f.rx, 446'006'250u) << c.typed;
        EXPECT_EQ(r.refusal, c.reason ? OvlText(c.reason) : "") << c.typed;
        EXPECT_EQ(r.refusal.empty(), c.reason == nullptr) << c.typed;

        TimerParams p;
        p.divisor = 10;
        int value = 7;
        CellRequest timer = Committed(c.typed);
        EXPECT_EQ(TimerCodec(timer, value, p), CodecResult::Rejected) << c.typed;
        EXPECT_EQ(value, 7) << c.typed;
        EXPECT_EQ(timer.refusal, r.refusal) << c.typed;
    }
}

}  // namespace
}  // namespace parlo
