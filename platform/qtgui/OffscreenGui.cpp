#include "platform/qtgui/OffscreenGui.h"

#include <QGuiApplication>

namespace parlo::qt {

int RunOffscreenGui(int argc, char** argv, const std::function<int()>& body) {
    // The same fonts and layout whether or not a display is there.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return body();
}

}  // namespace parlo::qt
