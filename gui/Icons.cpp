#include "gui/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <map>
#include <utility>

namespace parlo::qt {

namespace {

constexpr int kSize = 16;

QPixmap Blank() {
    QPixmap p(kSize, kSize);
    p.fill(Qt::transparent);
    return p;
}

void Radio(QPainter& g, const QColor& body) {
    g.setPen(QColor(40, 40, 40));
    g.setBrush(body);
    g.drawRect(4, 5, 7, 10);
    g.drawLine(9, 5, 9, 1);  // the antenna
    g.fillRect(5, 7, 5, 3, QColor(170, 210, 170));
}

void Page(QPainter& g, const QColor& fill) {
    g.setPen(QColor(60, 60, 60));
    g.setBrush(fill);
    g.drawRect(3, 1, 10, 14);
    g.setPen(QColor(140, 140, 140));
    for (int y = 5; y <= 12; y += 3) g.drawLine(5, y, 11, y);
}

void Folder(QPainter& g) {
    g.setPen(QColor(120, 90, 20));
    g.setBrush(QColor(240, 200, 90));
    g.drawRect(1, 4, 14, 10);
    g.drawRect(1, 2, 6, 2);
}

void Bank(QPainter& g, bool used, bool flagged) {
    g.setPen(QColor(50, 50, 90));
    g.setBrush(used ? QColor(120, 150, 220) : QColor(235, 235, 245));
    g.drawRect(2, 3, 12, 11);
    g.setPen(QColor(50, 50, 90));
    for (int y = 6; y <= 11; y += 3) g.drawLine(4, y, 12, y);
    if (flagged) {
        g.setBrush(QColor(0, 190, 190));
        g.setPen(Qt::NoPen);
        g.drawEllipse(10, 0, 6, 6);
    }
}

void Warning(QPainter& g, int x, int y, int s) {
    QPainterPath path;
    path.moveTo(x + s / 2.0, y);
    path.lineTo(x + s, y + s);
    path.lineTo(x, y + s);
    path.closeSubpath();
    g.setPen(QColor(120, 90, 0));
    g.setBrush(QColor(250, 210, 0));
    g.drawPath(path);
}

void Error(QPainter& g, int x, int y, int s) {
    g.setPen(QColor(120, 0, 0));
    g.setBrush(QColor(220, 30, 30));
    g.drawEllipse(x, y, s, s);
    g.setPen(QPen(Qt::white, 1.5));
    g.drawLine(x + s / 4, y + s / 4, x + 3 * s / 4, y + 3 * s / 4);
    g.drawLine(x + 3 * s / 4, y + s / 4, x + s / 4, y + 3 * s / 4);
}

void Letter(QPainter& g, const QString& text, const QColor& colour) {
    QFont f = g.font();
    f.setPixelSize(10);
    f.setBold(true);
    g.setFont(f);
    g.setPen(colour);
    g.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, text);
}

void Arrow(QPainter& g, bool up) {
    g.setPen(QPen(QColor(0, 100, 0), 2));
    const int top = up ? 2 : 13, bottom = up ? 13 : 2;
    g.drawLine(13, bottom, 13, top);
    g.drawLine(13, top, up ? 11 : 11, up ? top + 3 : top - 3);
    g.drawLine(13, top, 15, up ? top + 3 : top - 3);
}

QIcon DrawTreeIcon(int index) {
    QPixmap p = Blank();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    switch (index) {
        case 0: Radio(g, QColor(90, 90, 90)); break;
        case 1: Folder(g); break;
        case 2: Page(g, Qt::white); break;
        case 3: Page(g, QColor(255, 250, 210)); break;
        case 4:
        case 5:
        case 6:
        case 7: Bank(g, (index - 4) & 1, (index - 4) & 2); break;
        case 8: Warning(g, 1, 1, 14); break;
        case 9: Error(g, 1, 1, 14); break;
        default: Page(g, Qt::white); break;
    }
    return QIcon(p);
}

QIcon DrawMarkedIcon(int index, int mark) {
    QPixmap p = TreeIcon(index).pixmap(kSize, kSize);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    if (mark == 0) Error(g, 7, 7, 9);
    if (mark == 1) Warning(g, 7, 7, 9);
    return QIcon(p);
}

}  // namespace

// The tree asks for its icons on every warning check: each is drawn once
// and shared from then on. The tables live as long as the process: icons
// must not outlive the application object in static destructors.
QIcon TreeIcon(int index) {
    static auto& drawn = *new std::map<int, QIcon>;
    auto it = drawn.find(index);
    if (it == drawn.end()) it = drawn.emplace(index, DrawTreeIcon(index)).first;
    return it->second;
}

QIcon MarkedIcon(int index, int mark) {
    static auto& drawn = *new std::map<std::pair<int, int>, QIcon>;
    const auto key = std::make_pair(index, mark);
    auto it = drawn.find(key);
    if (it == drawn.end()) it = drawn.emplace(key, DrawMarkedIcon(index, mark)).first;
    return it->second;
}

QIcon ToolBarIcon(int index) {
    QPixmap p = Blank();
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    switch (index) {
        case 0: Page(g, Qt::white); break;
        case 1: Folder(g); break;
        case 2:
            g.setPen(QColor(30, 30, 80));
            g.setBrush(QColor(70, 90, 170));
            g.drawRect(1, 1, 14, 14);
            g.fillRect(4, 2, 8, 5, Qt::white);
            g.fillRect(4, 10, 8, 5, QColor(200, 200, 200));
            break;
        case 3:
        case 4:
        case 5:
        case 6:
            g.setPen(QColor(60, 60, 60));
            g.setBrush(QColor(220, 220, 220));
            g.drawRoundedRect(1, 3, 14, 10, 3, 3);
            Letter(g, QString::number(index - 2), QColor(0, 0, 120));
            break;
        case 7:
            Radio(g, QColor(90, 90, 90));
            Arrow(g, false);
            break;
        case 8:
            Radio(g, QColor(90, 90, 90));
            Arrow(g, true);
            break;
        case 9:
            g.setPen(QColor(0, 60, 140));
            g.setBrush(QColor(60, 130, 220));
            g.drawEllipse(1, 1, 14, 14);
            Letter(g, "i", Qt::white);
            break;
        case 10:
            g.setPen(QPen(QColor(40, 40, 40), 2));
            g.drawLine(3, 13, 13, 3);
            break;
        case 11: g.fillRect(3, 3, 10, 10, QColor(40, 40, 40)); break;
        case 12:
            g.setPen(QColor(40, 40, 40));
            g.drawLine(2, 8, 14, 8);
            g.fillRect(7, 4, 3, 8, QColor(40, 40, 40));
            break;
        default: break;
    }
    return QIcon(p);
}

QIcon AppIcon() { return TreeIcon(0); }

}  // namespace parlo::qt
