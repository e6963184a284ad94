#pragma once
// Runs work that draws with QtGui (fonts, a PDF writer) with no display: a
// QGuiApplication on the offscreen platform for the life of the call.
#include <functional>

namespace parlo::qt {

int RunOffscreenGui(int argc, char** argv, const std::function<int()>& body);

}  // namespace parlo::qt
