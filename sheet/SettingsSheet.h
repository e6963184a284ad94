#pragma once
// The sheets of the radio's settings: they know the model, so their
// descriptions may show rows only for some variants or options.
#include "sheet/Sheet.h"

namespace parlo {

class SettingsSheet : public Sheet {
public:
    using Sheet::Sheet;

protected:
    void HandleDirective(const std::string& directive) override;
};

}  // namespace parlo
