#pragma once
// A blank image of the given size, installed as the working image for the
// life of the object.
#include "model/EepromImage.h"
#include "model/WorkingImage.h"

namespace parlo::test {

struct ScopedWorkingEeprom {
    EepromImage image;
    ScopedWorkingImage scope;

    explicit ScopedWorkingEeprom(int32_t size) : image(Sized(size)), scope(image) {}
    ScopedWorkingEeprom(const ScopedWorkingEeprom&) = delete;
    ScopedWorkingEeprom& operator=(const ScopedWorkingEeprom&) = delete;

private:
    static EepromImage Sized(int32_t size) {
        EepromImage blank;
        blank.SetSize(size);
        return blank;
    }
};

}  // namespace parlo::test
