#pragma once
// A number as a person types it into a cell. Blanks around it and a unit
// after it are dropped ("446.00625 MHz"), and "." or "," marks the decimals,
// as the user's desktop writes them ("446,00625"). What would turn the text
// into another number is refused with the reason: two decimal marks (or a
// thousands separator), an exponent, a minus sign where no negative value
// exists.
#include <optional>
#include <string>
#include <string_view>

#include "codecs/CellRequest.h"
#include "platform/NumberText.h"

namespace parlo {

enum class NumberFault {
    None,
    NotANumber,  // no digits, or text before them or digits after the unit
    Marks,       // both "." and ",", or one of them twice
    Exponent,    // "1e3"
    Negative,    // a minus sign where the value cannot be negative
};

struct TypedNumber {
    std::optional<DecimalNumber> number;
    NumberFault fault = NumberFault::None;
    // The digits and the decimal mark as typed, the mark written ".":
    // "446.00625" for " 446,00625 MHz". Empty when refused.
    std::string digits;
};

TypedNumber ReadTypedNumber(std::string_view text, bool negativeAllowed);

// The reason for a fault, for the user; empty for None and NotANumber (the
// text is simply not accepted).
std::string NumberFaultText(NumberFault fault);

// Reads `text` as ReadTypedNumber does; a refusal with a reason puts the
// reason in the request.
std::optional<DecimalNumber> TypedNumberOf(CellRequest& request, std::string_view text,
                                           bool negativeAllowed);

}  // namespace parlo
