#pragma once
// What painting a sheet works out again and again, kept: the width of a
// text in a font (every cell aligns its text, every paint), and the image of
// a display text's segments, which are hundreds of small smoothed shapes.
// Both live in the thread that paints and stay small.
#include <QFont>
#include <QImage>
#include <functional>
#include <string>

namespace parlo::qt {

// The width of `text` in `font` on a device of `dpi`; `measure` works it
// out when it is not known yet.
int CachedTextWidth(const QFont& font, int dpi, const std::string& text,
                    const std::function<int()>& measure);

// The image kept under `key`, made by `draw` (into a transparent image of
// `size` device pixels) when there is none.
const QImage& CachedShapeImage(const QByteArray& key, const QSize& size, qreal pixelRatio,
                               const std::function<void(QImage&)>& draw);

}  // namespace parlo::qt
