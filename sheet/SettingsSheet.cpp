#include "sheet/SettingsSheet.h"

#include <iterator>

#include "model/ModelVariant.h"

namespace parlo {

namespace {

// Byte 0x000B of the image tells which option sets the radio carries.
constexpr int32_t kAddrOptionBits = 0x000B;

bool OptionBit(const DocumentData& doc, uint8_t mask) {
    return (doc.Working().GetByte(kAddrOptionBits) & mask) != 0;
}

struct Condition {
    const char* name;
    bool (*holds)(const DocumentData& doc);
};

// Each condition keeps the lines it guards only where it holds.
constexpr Condition kConditions[] = {
    {"Only_Pmr",
     [](const DocumentData& d) {
         return d.Variant() == kVariantPmr || d.Variant() == kVariantTarnPmr;
     }},
    {"Only_Lmr", [](const DocumentData& d) { return d.Variant() == kVariantLmr; }},
    {"Only_TARN", [](const DocumentData& d) { return d.Variant() == kVariantTarnPmr; }},
    {"Only_notTARN", [](const DocumentData& d) { return d.Variant() != kVariantTarnPmr; }},
    {"Only_notDPmr446", [](const DocumentData& d) { return d.Variant() != kVariantDPmr446; }},
    {"Only_SACC", [](const DocumentData& d) { return OptionBit(d, 0x08); }},
    {"Only_EACC", [](const DocumentData& d) { return OptionBit(d, 0x10); }},
};

}  // namespace

void SettingsSheet::HandleDirective(const std::string& directive) {
    const std::string name = directive.substr(0, directive.find(' '));
    for (const Condition& c : kConditions) {
        if (name != c.name) continue;
        if (!c.holds(Document())) SkipLines(DirectiveNumber(directive));
        return;
    }
    Sheet::HandleDirective(directive);
}

}  // namespace parlo
