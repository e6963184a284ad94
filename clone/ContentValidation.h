#pragma once
// The fixed bytes that mark an EEPROM image as one of this model, checked
// whenever an image arrives from a clone file or from the radio.
#include <cstdint>

#include "model/EepromImage.h"

namespace parlo {

inline constexpr uint16_t kModelCode = 0x2927;
inline constexpr uint16_t kExtraCode = 0x0000;
inline constexpr uint16_t kExtraCodeAlt = 0x0100;
inline constexpr int32_t kMapRevision = 6;
inline constexpr char kMakerText[] = "KELD Inc";  // 8 bytes, no terminator stored

// Addresses of the identity fields inside the image.
inline constexpr int32_t kAddrMakerText = 0x0100;
inline constexpr int32_t kAddrMapRevision = 0x0108;
inline constexpr int32_t kAddrModelCode = 0x010A;
inline constexpr int32_t kAddrUsedEnd = 0x0112;
inline constexpr int32_t kAddrDataVersion = 0x9A05;

// True when `image` passes: its first bytes are 0x29 0x26 0x01, the working
// image's map revision byte is 6, and, with the identity test, the maker text
// at 0x0100, the model code at 0x010A and the maker text before the used end
// are in place. `working` is the image the application edits; the map
// revision it carries is the one the application works with.
bool ValidateContent(const EepromImage& image, const EepromImage& working, bool identityTest);

// True when the image is newer data than this program accepts: `lockout` is
// the overlay's GI_Sys_LockoutNewerData read as a number. The data version
// judged is byte 0x9A05 as unpacking the image will leave it (the packed
// block 18, or the byte itself when the directory has no such block).
bool IsNewerData(const EepromImage& image, int lockout);
// The same with the lockout read from the main overlay.
bool IsNewerData(const EepromImage& image);

// The file header check of the application: model 0x2927, extra code 0 or
// 0x100; otherwise file error 3 or 4 in `code`.
bool AcceptFileHeader(int32_t model, int32_t extra, uint8_t& code);
// The map revision check of the application: exactly 6.
bool AcceptMapRevision(int32_t revision);

}  // namespace parlo
