#include "codecs/TypedNumber.h"

#include "codecs/CodecText.h"
#include "overlay/OverlayText.h"

namespace parlo {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

TypedNumber Fault(NumberFault fault) {
    TypedNumber t;
    t.fault = fault;
    return t;
}

}  // namespace

TypedNumber ReadTypedNumber(std::string_view text, bool negativeAllowed) {
    text = Trim(text);
    size_t i = 0;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    std::string digits;
    int marks = 0;
    for (; i < text.size() && (IsDigit(text[i]) || text[i] == '.' || text[i] == ','); ++i) {
        marks += IsDigit(text[i]) ? 0 : 1;
        digits += text[i] == ',' ? '.' : text[i];
    }
    if (digits.size() == static_cast<size_t>(marks)) return Fault(NumberFault::NotANumber);
    if (marks > 1) return Fault(NumberFault::Marks);
    // "1e3", "1E-3": not a unit but another number.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t next = i + 1;
        if (next < text.size() && (text[next] == '-' || text[next] == '+')) ++next;
        if (next < text.size() && IsDigit(text[next])) return Fault(NumberFault::Exponent);
    }
    // A unit after the number holds no digits ("446 006" is not a number).
    for (size_t k = i; k < text.size(); ++k) {
        if (IsDigit(text[k])) return Fault(NumberFault::NotANumber);
    }
    if (negative && !negativeAllowed) return Fault(NumberFault::Negative);
    TypedNumber t;
    t.number = ReadDecimal(digits);
    if (!t.number) return Fault(NumberFault::NotANumber);
    t.number->negative = negative;
    t.digits = std::move(digits);
    return t;
}

std::string NumberFaultText(NumberFault fault) {
    switch (fault) {
        case NumberFault::Marks: return OvlText("GI_AppMess_Number_Marks");
        case NumberFault::Exponent: return OvlText("GI_AppMess_Number_Exponent");
        case NumberFault::Negative: return OvlText("GI_AppMess_Number_Negative");
        case NumberFault::None:
        case NumberFault::NotANumber: break;
    }
    return {};
}

std::optional<DecimalNumber> TypedNumberOf(CellRequest& request, std::string_view text,
                                           bool negativeAllowed) {
    TypedNumber typed = ReadTypedNumber(text, negativeAllowed);
    if (!typed.number) request.refusal = NumberFaultText(typed.fault);
    return typed.number;
}

}  // namespace parlo
