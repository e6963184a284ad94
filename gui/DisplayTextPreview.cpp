#include "gui/DisplayTextPreview.h"

#include <QPainter>
#include <algorithm>

#include "codecs/SegmentText.h"
#include "overlay/OverlayText.h"
#include "platform/qtgui/QtCanvas.h"
#include "sheet/DisplayCharacters.h"
#include "sheet/SheetReading.h"

namespace parlo::qt {

namespace {

// Dark segments on a pale display, the unlit ones faint; what is not kept
// in dark red on a reddish ground.
constexpr uint32_t kDisplayBackground = 0x00C8DCC8;
constexpr uint32_t kSegmentLit = 0x00202020;
constexpr uint32_t kSegmentUnlit = 0x00B4C8B4;
constexpr uint32_t kCutBackground = 0x00C8C8F0;
constexpr uint32_t kCutLit = 0x000000A0;
constexpr int kPreviewName = 9;  // of GI_AppInd_Reading

}  // namespace

DisplayTextPreview::DisplayTextPreview(QWidget* parent, const EepromImage& image)
    : QWidget(parent), image_(image) {
    setMinimumHeight(48);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(QString::fromStdString(OvlText("GI_AppInd_Reading", kPreviewName)));
}

void DisplayTextPreview::SetText(const QString& text, int length) {
    bytes_ = SegmentTextBytes(text.toStdString());
    length_ = std::max(0, length);
    // What the painted characters say, for a reader.
    setAccessibleDescription(QString::fromStdString(DisplayPlainText(bytes_)));
    update();
}

void DisplayTextPreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), ToQColor(kDisplayBackground));
    QtCanvas canvas(painter);
    const Rect box{4, 2, width() - 4, height() - 2};
    const SegmentGeometry& geometry = MainDisplayGeometry();
    const std::vector<uint16_t> user = UserCharacters(image_);
    if (length_ == 0) {
        PaintDisplayText(canvas, box, bytes_, geometry, user, kSegmentLit, kSegmentUnlit);
        return;
    }
    // Every position of the field, the empty ones as blanks.
    std::vector<uint8_t> kept(bytes_.begin(),
                              bytes_.begin() + std::min<ptrdiff_t>(length_, std::ssize(bytes_)));
    kept.resize(static_cast<size_t>(length_), ' ');
    PaintDisplayText(canvas, box, kept, geometry, user, kSegmentLit, kSegmentUnlit);
    if (std::ssize(bytes_) <= length_) return;
    // The characters past the end start where the next position would.
    const std::vector<uint8_t> one(1, ' '), next(static_cast<size_t>(length_) + 1, ' ');
    const int start = box.left + DisplayTextWidth(box.Height(), next, geometry) -
                      DisplayTextWidth(box.Height(), one, geometry);
    painter.fillRect(QRect(start, 0, width() - start, height()), ToQColor(kCutBackground));
    const std::vector<uint8_t> cut(bytes_.begin() + length_, bytes_.end());
    PaintDisplayText(canvas, {start, box.top, box.right, box.bottom}, cut, geometry, user, kCutLit);
}

}  // namespace parlo::qt
