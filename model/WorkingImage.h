#pragma once
// The one process-wide reference through which the data-model code reaches
// the image the user edits. The main window sets it when it creates the
// working image; code that can take an image explicitly should do so.
#include "model/cmcEeprom.h"

namespace parlo {

// The working image. Asking before one is set is a program error.
cmcEeprom& WorkingImage();
bool HasWorkingImage();
// Installs `image` (not owned; nullptr removes it) and returns the previous one.
cmcEeprom* SetWorkingImage(cmcEeprom* image);

// Installs an image for the life of the object (tests, tools).
class ScopedWorkingImage {
public:
    explicit ScopedWorkingImage(cmcEeprom& image) : previous_(SetWorkingImage(&image)) {}
    ~ScopedWorkingImage() { SetWorkingImage(previous_); }
    ScopedWorkingImage(const ScopedWorkingImage&) = delete;
    ScopedWorkingImage& operator=(const ScopedWorkingImage&) = delete;

private:
    cmcEeprom* previous_;
};

}  // namespace parlo
