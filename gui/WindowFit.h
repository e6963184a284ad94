#pragma once
// Places a top-level window at a stored size and place, fitted to the
// available area of the screen it is to open on.
#include <QRect>

class QWidget;

namespace parlo::qt {

// Sets `window`'s inside to `stored` fitted to the available area of the
// screen that holds the stored window's centre (the primary screen when
// none does), with room for the frame once the window has one. The
// window's minimum size is kept.
void FitToScreen(QWidget* window, const QRect& stored);

// Once `window` is first shown and its frame is known, fits it again so that
// the frame is on the screen as well.
void FitAgainWhenFramed(QWidget* window);

}  // namespace parlo::qt
