#include "model/WorkingImage.h"

#include <utility>

#include "platform/Fatal.h"

namespace parlo {

namespace {
EepromImage* g_working = nullptr;
}  // namespace

EepromImage& WorkingImage() {
    if (g_working == nullptr) fatal("No working image.");
    return *g_working;
}

bool HasWorkingImage() { return g_working != nullptr; }

EepromImage* SetWorkingImage(EepromImage* image) { return std::exchange(g_working, image); }

}  // namespace parlo
