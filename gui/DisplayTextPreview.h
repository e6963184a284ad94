#pragma once
// The text entry window's preview: the text box's text as the radio's
// display shows it. With the field's length known it shows every position
// of the field, blanks included, and the characters typed past its end in
// red on a tinted ground: a save does not keep them.
#include <QWidget>
#include <vector>

#include "model/EepromImage.h"

namespace parlo::qt {

class DisplayTextPreview : public QWidget {
public:
    // The user characters are those of `image`.
    DisplayTextPreview(QWidget* parent, const EepromImage& image);
    // `length`: the positions the field keeps; 0 when not known.
    void SetText(const QString& text, int length);
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const EepromImage& image_;
    std::vector<uint8_t> bytes_;
    int length_ = 0;
};

}  // namespace parlo::qt
