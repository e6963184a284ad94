#pragma once
// The one process-wide reference through which the data-model code reaches
// the image the user edits. The main window sets it when it creates the
// working image; code that can take an image explicitly should do so.
#include "model/EepromImage.h"

namespace parlo {

// The working image. Asking before one is set is a program error.
EepromImage& WorkingImage();
bool HasWorkingImage();
// Installs `image` (not owned; nullptr removes it) and returns the previous one.
EepromImage* SetWorkingImage(EepromImage* image);

// Installs an image for the life of the object (tests, tools).
class ScopedWorkingImage {
public:
    explicit ScopedWorkingImage(EepromImage& image) : previous_(SetWorkingImage(&image)) {}
    ~ScopedWorkingImage() { SetWorkingImage(previous_); }
    ScopedWorkingImage(const ScopedWorkingImage&) = delete;
    ScopedWorkingImage& operator=(const ScopedWorkingImage&) = delete;

private:
    EepromImage* previous_;
};

}  // namespace parlo
