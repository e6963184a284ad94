#pragma once
// Numbers that line up in a proportional font. The cells pad numbers with
// blanks ("  0", "  0.000" under "180.000", "1-  9" over "1- 10"), which
// lines them up only where a blank is as wide as a digit and every digit as
// wide as the others. Texts are laid out in runs: digits, and the blanks
// that pad a number, each take a cell as wide as the widest digit; other
// text takes its own width.
#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <vector>

namespace parlo::qt {

struct TextRun {
    QString text;
    bool figures = false;  // digits and padding blanks, one figure cell each
};

// The runs of a text, in order.
std::vector<TextRun> FigureRuns(const QString& text);

// The width of a text laid out so.
int FigureTextWidth(const QFontMetrics& metrics, const QString& text);

// Draws a text laid out so, starting at x on the baseline y.
void DrawFigureText(QPainter& painter, int x, int y, const QString& text);

}  // namespace parlo::qt
