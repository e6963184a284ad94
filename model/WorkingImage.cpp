#include "model/WorkingImage.h"

#include <utility>

#include "platform/Fatal.h"

namespace parlo {

namespace {
cmcEeprom* g_working = nullptr;
}  // namespace

cmcEeprom& WorkingImage() {
    if (g_working == nullptr) fatal("No working image.");
    return *g_working;
}

bool HasWorkingImage() {
    return g_working != nullptr;
}

cmcEeprom* SetWorkingImage(cmcEeprom* image) {
    return std::exchange(g_working, image);
}

}  // namespace parlo
