#pragma once
// What painting a sheet works out again and again, kept: the height of a
// font, the width of a text in it (every cell aligns its text, every paint)
// and the text laid out as glyphs, and the image of a display text's
// segments, which are hundreds of small smoothed shapes. Both live in the
// thread that paints and stay small.
#include <QFont>
#include <QGlyphRun>
#include <QImage>
#include <QList>
#include <functional>
#include <string>

namespace parlo::qt {

// A font's line height and ascent on a device of `dpi`; `measure` works
// them out when they are not known yet.
struct LineMetrics {
    int height = 0, ascent = 0;
};
LineMetrics CachedLineMetrics(const QFont& font, int dpi,
                              const std::function<LineMetrics()>& measure);
// The width of `text` in `font` on a device of `dpi`.
int CachedTextWidth(const QFont& font, int dpi, const std::string& text,
                    const std::function<int()>& measure);
// The glyphs of `text` in `font` laid out on a line whose baseline is at 0.
const QList<QGlyphRun>& CachedGlyphRuns(const QFont& font, int dpi, const std::string& text,
                                        const std::function<QList<QGlyphRun>()>& layOut);

// The image kept under `key`, made by `draw` (into a transparent image of
// `size` device pixels) when there is none.
const QImage& CachedShapeImage(const QByteArray& key, const QSize& size, qreal pixelRatio,
                               const std::function<void(QImage&)>& draw);

}  // namespace parlo::qt
