#include "sheet/SettingsSheet.h"

#include <iterator>

#include "model/ModelVariant.h"
#include "model/WorkingImage.h"

namespace parlo {

namespace {

// Byte 0x000B of the image tells which option sets the radio carries.
constexpr int32_t kAddrOptionBits = 0x000B;

bool OptionBit(uint8_t mask) {
    return HasWorkingImage() && (WorkingImage().GetByte(kAddrOptionBits) & mask) != 0;
}

struct Condition {
    const char* name;
    bool (*holds)(int variant);
};

// Each condition keeps the lines it guards only where it holds.
constexpr Condition kConditions[] = {
    {"Only_Pmr", [](int v) { return v == kVariantPmr || v == kVariantTarnPmr; }},
    {"Only_Lmr", [](int v) { return v == kVariantLmr; }},
    {"Only_TARN", [](int v) { return v == kVariantTarnPmr; }},
    {"Only_notTARN", [](int v) { return v != kVariantTarnPmr; }},
    {"Only_notDPmr446", [](int v) { return v != kVariantDPmr446; }},
    {"Only_SACC", [](int) { return OptionBit(0x08); }},
    {"Only_EACC", [](int) { return OptionBit(0x10); }},
};

}  // namespace

void SettingsSheet::HandleDirective(const std::string& directive) {
    const std::string name = directive.substr(0, directive.find(' '));
    for (const Condition& c : kConditions) {
        if (name != c.name) continue;
        if (!c.holds(CurrentVariant())) SkipLines(DirectiveNumber(directive));
        return;
    }
    Sheet::HandleDirective(directive);
}

}  // namespace parlo
