// A typed value outside a codec's range is stored as the nearest limit, a
// frequency off the raster as the raster point, a time between two units as
// one of them; the request tells the caller so, that it can say what was
// stored instead. A value stored as typed (in whatever form) tells nothing.
#include <gtest/gtest.h>

#include <functional>

#include "codecs/FixedPointCodec.h"
#include "codecs/FrequencyCodec.h"
#include "codecs/MinSecCodec.h"
#include "codecs/NumberCodec.h"
#include "codecs/ScramblerCodec.h"
#include "codecs/TimerCodec.h"
#include "codecs/ToneFrequencyCodec.h"
#include "tests/support/CodecRequests.h"

namespace parlo {
namespace {

using namespace test;

// Runs one codec on a committed text; returns what it stored.
using Commit = std::function<int64_t(CellRequest&)>;

Commit Timer(int divisor, int minimum, int maximum) {
    return [=](CellRequest& r) {
        TimerParams p;
        p.divisor = divisor;
        p.minimum = minimum;
        p.maximum = maximum;
        int value = 7;
        TimerCodec(r, value, p);
        return value;
    };
}

Commit FixedPoint(int scale, int decimals, double minimum, double maximum) {
    return [=](CellRequest& r) {
        FixedPointParams p{scale, decimals, minimum, maximum};
        int64_t value = 7;
        FixedPointCodec(r, value, p);
        return value;
    };
}

Commit MinSec(int minimum, int maximum, int secondsPerUnit) {
    return [=](CellRequest& r) {
        MinSecParams p{minimum, maximum, secondsPerUnit};
        int value = 7;
        MinSecCodec(r, value, p);
        return value;
    };
}

Commit Number(int minimum, int maximum, int step) {
    return [=](CellRequest& r) {
        NumberParams p;
        p.minimum = minimum;
        p.maximum = maximum;
        p.step = step;
        int value = 7;
        NumberCodec(r, value, p);
        return value;
    };
}

int64_t Scrambler(CellRequest& r) {
    int value = 7;
    ScramblerCodec(r, value);
    return value;
}

int64_t ToneFrequency(CellRequest& r) {
    int tenths = 10000;
    ToneFrequencyCodec(r, tenths, "GI_Sheet_Sel_2TTxC_Freq", 100.0, 3000.0);
    return tenths;
}

int64_t ReceiveFrequency(CellRequest& r) {
    FrequencyFields f;
    f.present = true;
    f.rx = f.tx = 446'006'250;
    FrequencyCodec(r, f, Direction::Receive);
    return f.rx;
}

TEST(AdjustedValue, TheRequestSaysWhenTheValueStoredIsNotTheOneTyped) {
    struct Case {
        const char* codec;
        Commit commit;
        const char* typed;
        int64_t stored;
        bool adjusted;
    };
    const Case cases[] = {
        {"timer /1 0..180", Timer(1, 0, 180), "300", 180, true},
        {"timer /1 0..180", Timer(1, 0, 180), "180", 180, false},
        {"timer /10 5..255", Timer(10, 5, 255), "0.2", 5, true},
        {"timer /10 0..255", Timer(10, 0, 255), "1.25", 12, true},  // cut to the unit
        {"timer /10 0..255", Timer(10, 0, 255), "1,50 s", 15, false},
        {"timer /1000 0..1275", Timer(1000, 0, 1275), "0.0004", 0, true},
        {"fixed point 10^6", FixedPoint(6, 4, -99.975, 99.975), "-150", -99'975'000, true},
        {"fixed point 10^6", FixedPoint(6, 4, -99.975, 99.975), "-21.7", -21'700'000, false},
        {"fixed point 10^6", FixedPoint(6, 4, -99.975, 99.975), "-21,7", -21'700'000, false},
        {"fixed point 10^2", FixedPoint(2, 2, 0.01, 2.55), "0", 1, true},
        {"fixed point 10^2", FixedPoint(2, 2, 0, 2.55), "1.234", 123, true},  // rounded
        {"mm:ss 30..3570 / 30", MinSec(30, 3570, 30), "0:10", 1, true},
        {"mm:ss 30..3570 / 30", MinSec(30, 3570, 30), "1:30", 3, false},
        {"mm:ss 30..3570 / 30", MinSec(30, 3570, 30), "0:90", 3, false},
        {"mm:ss 30..3570 / 30", MinSec(30, 3570, 30), "1:40", 3, true},
        {"number 0..20 step 5", Number(0, 20, 5), "12", 10, true},
        {"number 0..20 step 5", Number(0, 20, 5), "15", 15, false},
        {"number 0..20", Number(0, 20, 1), "4.6", 4, true},  // the fraction goes
        {"number 0..20", Number(0, 20, 1), "4,0", 4, false},
        {"scrambler", Scrambler, "300", 255, true},
        {"scrambler", Scrambler, "inv", 0, false},
        {"tone 100..3000 Hz", ToneFrequency, "4000", 30000, true},
        {"tone 100..3000 Hz", ToneFrequency, "1750", 17500, false},
        {"tone 100..3000 Hz", ToneFrequency, "1750,5 Hz", 17505, false},
        {"tone 100..3000 Hz", ToneFrequency, "1750.55", 17506, true},
        {"frequency", ReceiveFrequency, "900", 799'999'950, true},
        {"frequency", ReceiveFrequency, "446.1", 446'100'000, false},
        {"frequency", ReceiveFrequency, "446,1", 446'100'000, false},
        {"frequency", ReceiveFrequency, "446.10000 MHz", 446'100'000, false},
        {"frequency", ReceiveFrequency, "446.0062", 446'006'250, true},       // snapped
        {"frequency", ReceiveFrequency, "446.006250001", 446'006'250, true},  // cut to nine
    };
    for (const Case& c : cases) {
        CellRequest r = Committed(c.typed);
        EXPECT_EQ(c.commit(r), c.stored) << c.codec << " " << c.typed;
        EXPECT_EQ(r.adjusted, c.adjusted) << c.codec << " " << c.typed;
    }
}

}  // namespace
}  // namespace parlo
