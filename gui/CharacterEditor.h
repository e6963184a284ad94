#pragma once
// The character editor: the display's segments drawn large; a click lights
// or darkens a segment, OK hands the new mask back.
#include <QDialog>

#include "sheet/DisplayCharacters.h"

namespace parlo::qt {

class CharacterEditor : public QDialog {
public:
    CharacterEditor(QWidget* parent, uint32_t mask);
    uint32_t Mask() const { return mask_; }

    // Where a shape point lands in the drawing area, and back.
    QPointF ToArea(double x, double y) const;
    QPointF FromArea(const QPointF& p) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void DescribeMask();

    SegmentGeometry geometry_;
    uint32_t mask_;
    double scale_ = 1;
};

}  // namespace parlo::qt
