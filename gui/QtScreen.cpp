#include "gui/QtScreen.h"

#include <QGuiApplication>
#include <QScreen>

namespace parlo::qt {

ScreenSize QtScreen::Size() const {
    const QScreen* screen = qGuiApp != nullptr ? QGuiApplication::primaryScreen() : nullptr;
    if (screen == nullptr) return kNoScreenSize;
    return ScreenSize{screen->size().width(), screen->size().height()};
}

}  // namespace parlo::qt
