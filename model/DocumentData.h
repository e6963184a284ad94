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

    // Laying a page out or painting it reads the same records again and
    // again and changes nothing: while such a pass is open, what is read
    // may be kept until it ends. The number names the open pass (0: none).
    uint64_t ReadingPass() const { return readingDepth_ > 0 ? readingPass_ : 0; }
    void BeginReading() const {
        if (readingDepth_++ == 0) ++readingPass_;
    }
    void EndReading() const { --readingDepth_; }

private:
    EepromImage working_;
    EepromImage defaults_;
    int variant_ = 0;
    DocumentModes modes_;
    std::vector<uint8_t> identity_;
    mutable int readingDepth_ = 0;
    mutable uint64_t readingPass_ = 0;
};

// A reading pass over `document` while the object lives.
class ReadingPass {
public:
    explicit ReadingPass(const DocumentData& document) : document_(document) {
        document_.BeginReading();
    }
    ~ReadingPass() { document_.EndReading(); }
    ReadingPass(const ReadingPass&) = delete;
    ReadingPass& operator=(const ReadingPass&) = delete;

private:
    const DocumentData& document_;
};

}  // namespace parlo
