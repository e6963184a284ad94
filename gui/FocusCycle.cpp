#include "gui/FocusCycle.h"

#include <QApplication>
#include <QShortcut>
#include <QWidget>

namespace parlo::qt {

FocusCycle::FocusCycle(QWidget* owner, Places places)
    : QObject(owner), places_(std::move(places)) {
    // Application-wide: F6 also leaves the compare and log windows.
    auto* next = new QShortcut(QKeySequence(Qt::Key_F6), owner);
    auto* back = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6), owner);
    for (QShortcut* s : {next, back}) s->setContext(Qt::ApplicationShortcut);
    connect(next, &QShortcut::activated, this, [this] { Move(true); });
    connect(back, &QShortcut::activated, this, [this] { Move(false); });
}

bool FocusCycle::Move(bool forward) {
    std::vector<QWidget*> places;
    for (QWidget* w : places_()) {
        if (w != nullptr && w->isVisible() && w->isEnabled()) places.push_back(w);
    }
    if (places.empty()) return false;
    // Where the focus is now: the place that holds the focused widget.
    const QWidget* focus = QApplication::focusWidget();
    int at = -1;
    for (size_t i = 0; i < places.size(); ++i) {
        if (focus != nullptr && (focus == places[i] || places[i]->isAncestorOf(focus)))
            at = static_cast<int>(i);
    }
    const int n = static_cast<int>(places.size());
    const int to = at < 0 ? (forward ? 0 : n - 1) : (at + (forward ? 1 : n - 1)) % n;
    QWidget* target = places[static_cast<size_t>(to)];
    if (target->window() != QApplication::activeWindow()) {
        target->window()->raise();
        target->window()->activateWindow();
    }
    target->setFocus(Qt::ShortcutFocusReason);
    return true;
}

}  // namespace parlo::qt
