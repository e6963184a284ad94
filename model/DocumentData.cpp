#include "model/DocumentData.h"

#include "model/ModelVariant.h"

namespace parlo {

DocumentData::DocumentData() {
    working_.SetSize(kImageSize);
    defaults_.Assign(working_);
}

void DocumentData::SetVariant(int variant) {
    variant_ = variant >= 0 && variant < kVariantCount ? variant : kVariantLmr;
}

}  // namespace parlo
