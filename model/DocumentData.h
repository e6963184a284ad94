#pragma once
// What a document is to the layers that read and edit it: the image the
// user edits, the variant's factory image (where blank channels come from),
// the variant the image is read as, the hidden modes that show more of it,
// and the identity block of the radio it last talked to. Every document has
// its own, and nothing of it is process-wide, so several live side by side:
// the two files of a comparison, the radios of a fleet, tests.
#include <cstdint>
#include <vector>

#include "model/EepromImage.h"

namespace parlo {

struct DocumentModes {
    bool maker = false;     // the maker's sheets and settings
    bool extended = false;  // dPMR446: the fifth bank
};

class DocumentData {
public:
    // Images of the model's size; the LMR variant.
    DocumentData();
    DocumentData(const DocumentData&) = delete;
    DocumentData& operator=(const DocumentData&) = delete;

    EepromImage& Working() { return working_; }
    const EepromImage& Working() const { return working_; }
    EepromImage& Defaults() { return defaults_; }
    const EepromImage& Defaults() const { return defaults_; }

    int Variant() const { return variant_; }
    // Values outside the four variants become LMR.
    void SetVariant(int variant);

    DocumentModes& Modes() { return modes_; }
    const DocumentModes& Modes() const { return modes_; }
    // The banks the pages, the tree and the warning check show: a dPMR446
    // document shows four until its extended mode adds the fifth.
    int BanksShown() const;

    // The identity block the radio answered last; empty until one did.
    const std::vector<uint8_t>& Identity() const { return identity_; }
    void SetIdentity(std::vector<uint8_t> block) { identity_ = std::move(block); }

private:
    EepromImage working_;
    EepromImage defaults_;
    int variant_ = 0;
    DocumentModes modes_;
    std::vector<uint8_t> identity_;
};

}  // namespace parlo
