#include "platform/qtgui/FigureText.h"

#include <algorithm>

namespace parlo::qt {

namespace {

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// A blank pads a number when a digit follows the blanks it belongs to and
// they start the text or follow a dash ("  5", "1- 10"; not "Timer 1" nor
// "9, 0").
std::vector<bool> FigureChars(const QString& text) {
    std::vector<bool> figure(static_cast<size_t>(text.size()), false);
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (IsDigit(text[i])) {
            figure[static_cast<size_t>(i)] = true;
            continue;
        }
        if (text[i] != u' ') continue;
        qsizetype start = i, end = i;
        while (start > 0 && text[start - 1] == u' ') --start;
        while (end < text.size() && text[end] == u' ') ++end;
        const bool digitAfter = end < text.size() && IsDigit(text[end]);
        const bool padding = start == 0 || text[start - 1] == u'-';
        figure[static_cast<size_t>(i)] = digitAfter && padding;
    }
    return figure;
}

int FigureWidth(const QFontMetrics& metrics) {
    int widest = 0;
    for (char16_t d = u'0'; d <= u'9'; ++d)
        widest = std::max(widest, metrics.horizontalAdvance(QChar(d)));
    return widest;
}

}  // namespace

std::vector<TextRun> FigureRuns(const QString& text) {
    std::vector<TextRun> runs;
    const std::vector<bool> figure = FigureChars(text);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool f = figure[static_cast<size_t>(i)];
        if (runs.empty() || runs.back().figures != f) runs.push_back({QString(), f});
        runs.back().text += text[i];
    }
    return runs;
}

int FigureTextWidth(const QFontMetrics& metrics, const QString& text) {
    int width = 0;
    int figure = -1;
    for (const TextRun& run : FigureRuns(text)) {
        if (!run.figures) {
            width += metrics.horizontalAdvance(run.text);
            continue;
        }
        if (figure < 0) figure = FigureWidth(metrics);
        width += figure * static_cast<int>(run.text.size());
    }
    return width;
}

void DrawFigureText(QPainter& painter, int x, int y, const QString& text) {
    const QFontMetrics metrics = painter.fontMetrics();
    int figure = -1;
    for (const TextRun& run : FigureRuns(text)) {
        if (!run.figures) {
            painter.drawText(x, y, run.text);
            x += metrics.horizontalAdvance(run.text);
            continue;
        }
        if (figure < 0) figure = FigureWidth(metrics);
        // Each digit centred in its cell; a padding blank only takes room.
        for (const QChar c : run.text) {
            if (c != u' ')
                painter.drawText(x + (figure - metrics.horizontalAdvance(c)) / 2, y, QString(c));
            x += figure;
        }
    }
}

}  // namespace parlo::qt
