#include "platform/qtgui/PaintCaches.h"

#include <QCache>
#include <unordered_map>
#include <utility>
#include <vector>

namespace parlo::qt {

namespace {

// A sheet uses a handful of fonts and a few thousand texts; past these the
// cache starts afresh rather than grow with whatever was ever shown.
constexpr size_t kMaxFonts = 16;
constexpr size_t kMaxTextsPerFont = 8192;
constexpr int kMaxShapeBytes = 1 << 20;

struct FontWidths {
    QFont font;
    int dpi;
    std::unordered_map<std::string, int> widths;
};

}  // namespace

int CachedTextWidth(const QFont& font, int dpi, const std::string& text,
                    const std::function<int()>& measure) {
    thread_local std::vector<FontWidths> fonts;
    FontWidths* entry = nullptr;
    for (FontWidths& f : fonts) {
        if (f.dpi == dpi && f.font == font) {
            entry = &f;
            break;
        }
    }
    if (entry == nullptr) {
        if (fonts.size() >= kMaxFonts) fonts.clear();
        entry = &fonts.emplace_back(FontWidths{font, dpi, {}});
    }
    if (const auto it = entry->widths.find(text); it != entry->widths.end()) return it->second;
    if (entry->widths.size() >= kMaxTextsPerFont) entry->widths.clear();
    const int width = measure();
    entry->widths.emplace(text, width);
    return width;
}

const QImage& CachedShapeImage(const QByteArray& key, const QSize& size, qreal pixelRatio,
                               const std::function<void(QImage&)>& draw) {
    thread_local QCache<QByteArray, QImage> images(kMaxShapeBytes);
    thread_local QImage oversized;  // larger than the whole cache: made every time
    if (const QImage* kept = images.object(key)) return *kept;
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(Qt::transparent);
    draw(image);
    if (image.sizeInBytes() > kMaxShapeBytes) {
        oversized = std::move(image);
        return oversized;
    }
    const int cost = static_cast<int>(image.sizeInBytes());
    images.insert(key, new QImage(std::move(image)), cost);
    return *images.object(key);
}

}  // namespace parlo::qt
