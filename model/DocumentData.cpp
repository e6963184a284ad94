#include "model/DocumentData.h"

#include "model/ChannelMap.h"
#include "model/ModelVariant.h"

namespace parlo {

DocumentData::DocumentData() {
    working_.SetSize(kImageSize);
    defaults_.Assign(working_);
}

int DocumentData::BanksShown() const {
    return variant_ == kVariantDPmr446 && !modes_.extended ? kBankCount - 1 : kBankCount;
}

void DocumentData::SetVariant(int variant) {
    variant_ = variant >= 0 && variant < kVariantCount ? variant : kVariantLmr;
}

}  // namespace parlo
