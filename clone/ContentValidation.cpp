#include "clone/ContentValidation.h"

#include "clone/CloneFile.h"
#include "model/PackedLayout.h"
#include "overlay/OverlayText.h"
#include "platform/NumberText.h"

namespace parlo {

namespace {

bool HasMakerText(const EepromImage& image, int32_t at) {
    for (int32_t i = 0; i < 8; ++i) {
        if (!image.IsValidAddress(at + i)) return false;
        if (image.GetByte(at + i) != static_cast<uint8_t>(kMakerText[i])) return false;
    }
    return true;
}

bool ByteIs(const EepromImage& image, int32_t a, uint8_t v) {
    return image.IsValidAddress(a) && image.GetByte(a) == v;
}

}  // namespace

bool ValidateContent(const EepromImage& image, const EepromImage& working, bool identityTest) {
    if (!ByteIs(image, 0, 0x29) || !ByteIs(image, 1, 0x26) || !ByteIs(image, 2, 0x01)) return false;
    if (!ByteIs(working, kAddrMapRevision, kMapRevision)) return false;
    if (!identityTest) return true;
    if (!HasMakerText(image, kAddrMakerText)) return false;
    if (!ByteIs(image, kAddrModelCode, kModelCode >> 8) ||
        !ByteIs(image, kAddrModelCode + 1, kModelCode & 0xFF))
        return false;
    if (!image.IsValidAddress(kAddrUsedEnd + 1)) return false;
    return HasMakerText(image, image.GetWord(kAddrUsedEnd) - 8);
}

// The data version lives in the work area, which a file or a radio does not
// carry: judge the value it will have once the loaded image is unpacked.
bool IsNewerData(const EepromImage& image, int lockout) {
    return lockout != 0 && image.IsValidAddress(kAddrDataVersion) &&
           UnpackedByte(image, kAddrDataVersion) > 1;
}

bool IsNewerData(const EepromImage& image) {
    return IsNewerData(image, LeadingInteger(OvlText("GI_Sys_LockoutNewerData")));
}

bool AcceptFileHeader(int32_t model, int32_t extra, uint8_t& code) {
    if (model != kModelCode) {
        code = kFileErrModel;
        return false;
    }
    if (extra != kExtraCode && extra != kExtraCodeAlt) {
        code = kFileErrExtra;
        return false;
    }
    return true;
}

bool AcceptMapRevision(int32_t revision) { return revision == kMapRevision; }

}  // namespace parlo
