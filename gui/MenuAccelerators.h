#pragma once
// Every item of a menu can be chosen with a key: an item whose caption
// names no accelerator letter, or one that another item of the same menu
// took first, gets the first letter or digit of its caption still free.
// Captions that change (recent files, undo) are fitted again at every
// refresh.
#include <QList>
#include <QString>

class QAction;

namespace parlo::qt {

// The accelerator character of a caption ("Save &As..." gives 'A'), upper
// case; a null character when there is none ("&&" is a plain "&").
QChar AcceleratorOf(const QString& caption);
// Fits the accelerators of the visible items of one menu (or menu bar).
void FitAccelerators(const QList<QAction*>& actions);

}  // namespace parlo::qt
