#include "gui/CharacterEditor.h"

#include <QDialogButtonBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <QVBoxLayout>

#include "overlay/OverlayText.h"

namespace parlo::qt {

namespace {

constexpr int kArea = 200;
constexpr int kBorder = 10;
constexpr int kLitSegments = 10;  // of GI_AppInd_Reading

}  // namespace

CharacterEditor::CharacterEditor(QWidget* parent, uint32_t mask)
    : QDialog(parent), geometry_(SegmentGeometry::FromOverlay(MainOverlay())), mask_(mask) {
    setWindowTitle(QString::fromStdString(OvlText("GI_AppInd_CharacterEditorCaption")));
    const Rect b = geometry_.Bounds();
    const double w = std::max(1, b.Width()), h = std::max(1, b.Height());
    scale_ = std::min((kArea - 2 * kBorder) / w, (kArea - 2 * kBorder) / h);
    auto* layout = new QVBoxLayout(this);
    layout->addSpacing(kArea + 10);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QString::fromStdString(OvlText("GI_AppInd_Button_OkCancel", 0)),
                       QDialogButtonBox::AcceptRole);
    buttons->addButton(QString::fromStdString(OvlText("GI_AppInd_Button_OkCancel", 1)),
                       QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(kArea + 2 * kBorder);
    DescribeMask();
}

// The segments are drawn, not named: a reader hears which are lit, by the
// letters the display's segments go by (a the top ... n).
void CharacterEditor::DescribeMask() {
    QStringList lit;
    for (int i = 1; i < geometry_.Count(); ++i) {
        if (geometry_.At(i).drawable && (mask_ & geometry_.BitOf(i)))
            lit << QString(QChar('a' + i - 1));
    }
    setAccessibleDescription(
        QString::fromStdString(OvlText("GI_AppInd_Reading", kLitSegments)).arg(lit.join(", ")));
}

QPointF CharacterEditor::ToArea(double x, double y) const {
    const Rect b = geometry_.Bounds();
    return QPointF((x - b.left) * scale_ + kBorder, (y - b.top) * scale_ + kBorder);
}

QPointF CharacterEditor::FromArea(const QPointF& p) const {
    const Rect b = geometry_.Bounds();
    return QPointF((p.x() - kBorder) / scale_ + b.left, (p.y() - kBorder) / scale_ + b.top);
}

void CharacterEditor::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRect(5, 5, kArea, kArea), Qt::white);
    for (int i = 0; i < geometry_.Count(); ++i) {
        const Segment& s = geometry_.At(i);
        if (!s.drawable) continue;
        const QColor colour = (mask_ & geometry_.BitOf(i)) ? Qt::black : QColor(225, 225, 225);
        p.setPen(colour);
        p.setBrush(colour);
        for (const Triangle& t : s.triangles) {
            QPolygonF polygon;
            for (const Point& pt : t) polygon << ToArea(pt.x, pt.y);
            p.drawPolygon(polygon);
        }
    }
}

void CharacterEditor::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPointF at = FromArea(event->position());
    const int segment = geometry_.HitSegment(at.x(), at.y());
    if (segment < 0) return;
    mask_ ^= geometry_.BitOf(segment);
    DescribeMask();
    update();
}

}  // namespace parlo::qt
