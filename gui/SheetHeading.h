#pragma once
// The strip above the sheet with the sheet's title. The sheet's own colour
// is shown on whichever background gives it the stronger contrast; a sheet
// that names no colour takes the system palette's.
#include <QLabel>
#include <cstdint>

namespace parlo::qt {

class SheetHeading : public QLabel {
    Q_OBJECT
public:
    explicit SheetHeading(QWidget* parent = nullptr);

    // Shows `text` (empty: hides the strip) in the sheet's title colour, a
    // system colour when the sheet names none.
    void Show(const QString& text, uint32_t colour);

    // The contrast ratio of two colours, 1 (none) to 21 (black on white).
    static double Contrast(const QColor& a, const QColor& b);
};

}  // namespace parlo::qt
