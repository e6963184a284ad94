#include "platform/qtgui/PaintCaches.h"

#include <QCache>
#include <optional>
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

// What is known of one font on one device.
struct FontFacts {
    QFont font;
    int dpi;
    std::optional<LineMetrics> line;
    std::unordered_map<std::string, int> widths;
    std::unordered_map<std::string, QList<QGlyphRun>> runs;
};

FontFacts& FactsOf(const QFont& font, int dpi) {
    thread_local std::vector<FontFacts> fonts;
    for (FontFacts& f : fonts) {
        if (f.dpi == dpi && f.font == font) return f;
    }
    if (fonts.size() >= kMaxFonts) fonts.clear();
    return fonts.emplace_back(FontFacts{font, dpi, {}, {}, {}});
}

template <typename Value, typename Make>
const Value& Kept(std::unordered_map<std::string, Value>& kept, const std::string& text,
                  const Make& make) {
    if (const auto it = kept.find(text); it != kept.end()) return it->second;
    if (kept.size() >= kMaxTextsPerFont) kept.clear();
    return kept.emplace(text, make()).first->second;
}

}  // namespace

LineMetrics CachedLineMetrics(const QFont& font, int dpi,
                              const std::function<LineMetrics()>& measure) {
    FontFacts& facts = FactsOf(font, dpi);
    if (!facts.line) facts.line = measure();
    return *facts.line;
}

int CachedTextWidth(const QFont& font, int dpi, const std::string& text,
                    const std::function<int()>& measure) {
    return Kept(FactsOf(font, dpi).widths, text, measure);
}

const QList<QGlyphRun>& CachedGlyphRuns(const QFont& font, int dpi, const std::string& text,
                                        const std::function<QList<QGlyphRun>()>& layOut) {
    return Kept(FactsOf(font, dpi).runs, text, layOut);
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
