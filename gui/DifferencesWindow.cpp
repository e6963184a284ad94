#include "gui/DifferencesWindow.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "overlay/OverlayText.h"

namespace parlo::qt {

namespace {

// Lines of GI_Compare_Window.
enum CompareLine { kTitle = 0, kHead = 1, kSame = 2, kClose = 3, kBytesHeading = 4, kHint = 5 };

QString Line(int line) { return QString::fromStdString(OvlText("GI_Compare_Window", line)); }

constexpr int kGap = 8;  // between the cell and the window moved off it

}  // namespace

DifferencesWindow::DifferencesWindow(QWidget* parent, const std::string& file,
                                     ImageDifferences differences, GoTo goTo)
    : QDialog(parent), differences_(std::move(differences)), goTo_(std::move(goTo)) {
    setAttribute(Qt::WA_DeleteOnClose);
    const QString name = QFileInfo(QString::fromStdString(file)).fileName();
    setWindowTitle(Line(kTitle).arg(name));
    auto* layout = new QVBoxLayout(this);
    const int count = static_cast<int>(differences_.cells.size() + differences_.bytes.size());
    auto* label = new QLabel(Line(count == 0 ? kSame : kHead).arg(name).arg(count), this);
    label->setTextFormat(Qt::PlainText);
    layout->addWidget(label);
    if (!differences_.cells.empty()) {
        auto* hint = new QLabel(Line(kHint), this);
        hint->setTextFormat(Qt::PlainText);
        layout->addWidget(hint);
    }
    list_ = new QListWidget(this);
    for (const CellDifference& d : differences_.cells)
        list_->addItem(QString::fromStdString(d.Line()));
    if (!differences_.bytes.empty()) {
        // The byte lines read "address: in this document -> in the file".
        auto* heading = new QListWidgetItem(Line(kBytesHeading).arg(name), list_);
        heading->setFlags(Qt::ItemIsEnabled);
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
    }
    for (const ByteDifference& d : differences_.bytes)
        list_->addItem(QString::fromStdString(d.Line()));
    layout->addWidget(list_);
    auto* close = new QPushButton(Line(kClose), this);
    // Enter in the list opens a line's cell; it does not close the window.
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    layout->addWidget(close, 0, Qt::AlignRight);
    connect(list_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { Activate(list_->row(item)); });
    resize(640, 400);
}

void DifferencesWindow::Activate(int line) {
    if (line < 0 || static_cast<size_t>(line) >= differences_.cells.size()) return;
    StayClearOf(goTo_(differences_.cells[static_cast<size_t>(line)]));
}

void DifferencesWindow::StayClearOf(const QRect& cell) {
    if (cell.isEmpty()) return;
    const QScreen* screen = this->screen();
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect();
    const QRect frame = frameGeometry();
    const QPoint to = ClearOf(frame, cell, area);
    if (to != frame.topLeft()) move(pos() + (to - frame.topLeft()));
}

QPoint DifferencesWindow::ClearOf(const QRect& window, const QRect& cell, const QRect& area) {
    if (!window.intersects(cell)) return window.topLeft();
    const int w = window.width(), h = window.height();
    const QPoint candidates[] = {
        {window.left(), cell.bottom() + 1 + kGap},  // below
        {window.left(), cell.top() - kGap - h},     // above
        {cell.right() + 1 + kGap, window.top()},    // right
        {cell.left() - kGap - w, window.top()},     // left
    };
    QPoint best = window.topLeft();
    int bestOverlap = -1;
    for (QPoint p : candidates) {
        // Kept inside the area along the side it did not move.
        if (!area.isEmpty()) {
            p.setX(std::clamp(p.x(), area.left(), std::max(area.left(), area.right() + 1 - w)));
            p.setY(std::clamp(p.y(), area.top(), std::max(area.top(), area.bottom() + 1 - h)));
        }
        const QRect moved(p, window.size());
        const QRect overlap = moved.intersected(cell);
        const int covered = overlap.isEmpty() ? 0 : overlap.width() * overlap.height();
        if (bestOverlap < 0 || covered < bestOverlap) {
            best = p;
            bestOverlap = covered;
        }
        if (covered == 0) break;
    }
    return best;
}

}  // namespace parlo::qt
