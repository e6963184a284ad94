#pragma once
// F6 and Shift+F6: the keyboard focus moves on to the next of the places
// a user works in (the tree, the sheet, and the compare and log windows
// while they are open), as a click would put it there.
#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

class QWidget;

namespace parlo::qt {

class FocusCycle : public QObject {
public:
    // The places in their order, asked afresh at every key: windows come
    // and go. A place that is hidden or disabled is passed over.
    using Places = std::function<std::vector<QWidget*>()>;
    FocusCycle(QWidget* owner, Places places);

    // Moves the focus on (or back); false when there is nowhere to go.
    bool Move(bool forward);

private:
    Places places_;
};

}  // namespace parlo::qt
