#include "gui/EditorPopup.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <cmath>

#include "cells/CellDispatcher.h"
#include "runtime/EventCodes.h"
#include "runtime/EventManager.h"
#include "sheet/PopupPlacement.h"
#include "sheet/SheetReading.h"

namespace parlo::qt {

EditorPopup::EditorPopup(SheetWidget* opener, int col, int row)
    : QFrame(opener, Qt::Popup | Qt::FramelessWindowHint),
      opener_(opener),
      openerId_(opener->OwnerId()),
      col_(col),
      row_(row) {
    setAttribute(Qt::WA_DeleteOnClose);
    // A reader hears which cell the window edits.
    if (Sheet* sheet = opener->CurrentSheet())
        setAccessibleName(QString::fromStdString(SheetReading(*sheet).CellName(col, row)));
    events_ = opener->Cells().Scope().events.Subscribe(
        [this](const EventRecord& event) { OnEvent(event); });
}

EditorPopup::~EditorPopup() = default;

void EditorPopup::OnEvent(const EventRecord& event) {
    if (done_) return;
    if (event.Is(ev::kFinishEdits)) Commit();
    if (const WindowOwner* owner = event.Get(ev::kReleaseWindows); owner && *owner == openerId_)
        Cancel();
}

QRect EditorPopup::WorkArea(const QRect& cell) {
    QScreen* screen = QGuiApplication::screenAt(cell.center());
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return QRect(0, 0, 1280, 1024);
    // At a fractional scale the area in device-independent pixels is
    // rounded up (1600 pixels at 1.5 give 1067): the last whole one ends
    // where the screen's pixels do.
    QRect area = screen->availableGeometry();
    const qreal scale = screen->devicePixelRatio();
    auto whole = [scale](int edge) {
        return static_cast<int>(std::floor(std::floor(edge * scale) / scale));
    };
    area.setRight(whole(area.left() + area.width()) - 1);
    area.setBottom(whole(area.top() + area.height()) - 1);
    return area;
}

QSize EditorPopup::ShowBelow(const QRect& cell, QSize size) {
    const QRect area = WorkArea(cell);
    size = size.expandedTo(minimumSizeHint()).boundedTo(area.size());
    resize(size);
    const Point at =
        PlacePopup({cell.left(), cell.top(), cell.right() + 1, cell.bottom() + 1}, size.width(),
                   size.height(), {area.left(), area.top(), area.right() + 1, area.bottom() + 1});
    move(at.x, at.y);
    show();
    return size;
}

void EditorPopup::Commit() {
    if (done_) return;
    if (!HandBack()) return;
    Finish();
}

void EditorPopup::Cancel() {
    if (done_) return;
    Finish();
}

void EditorPopup::Finish() {
    done_ = true;
    close();
    if (opener_) opener_->setFocus();
}

// A click outside a pop-up window closes it: the editors keep what was
// edited, a list keeps the value as it was.
void EditorPopup::closeEvent(QCloseEvent* event) {
    if (!done_) {
        if (CommitsOnClose() && !HandBack()) {
            event->ignore();
            return;
        }
        done_ = true;
        if (opener_) opener_->setFocus();
    }
    QFrame::closeEvent(event);
}

void EditorPopup::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        Cancel();
        return;
    }
    QFrame::keyPressEvent(event);
}

}  // namespace parlo::qt
