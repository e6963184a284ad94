#pragma once
// The application's icons, drawn in code: the tree images (rig, folder,
// notes, the four bank states, warning and error marks) and the tool bar
// images (file, ports, clone, editor tools), in the order the overlay's
// descriptions number them.
#include <QIcon>

namespace parlo::qt {

QIcon TreeIcon(int index);
QIcon ToolBarIcon(int index);
// A tree icon with the warning (1) or error (0) mark in its corner.
QIcon MarkedIcon(int index, int mark);
// The application icon.
QIcon AppIcon();

}  // namespace parlo::qt
