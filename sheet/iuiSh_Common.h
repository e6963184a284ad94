#pragma once
// The sheets of the radio's settings: they know the model, so their
// descriptions may show rows only for some variants or options.
#include "sheet/cuiSheet.h"

namespace parlo {

class iuiSh_Common : public cuiSheet {
public:
    using cuiSheet::cuiSheet;

protected:
    void HandleDirective(const std::string& directive) override;
};

}  // namespace parlo
