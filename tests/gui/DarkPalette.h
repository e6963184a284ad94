#pragma once
// A dark Fusion palette as desktops set it: light text on a dark base, the
// shadow colour darker still.
#include <QColor>
#include <QPalette>

namespace parlo::test {

inline QPalette DarkPalette() {
    QPalette p;
    p.setColor(QPalette::Window, QColor(53, 53, 53));
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Base, QColor(35, 35, 35));
    p.setColor(QPalette::AlternateBase, QColor(53, 53, 53));
    p.setColor(QPalette::Text, Qt::white);
    p.setColor(QPalette::Button, QColor(53, 53, 53));
    p.setColor(QPalette::ButtonText, Qt::white);
    p.setColor(QPalette::Highlight, QColor(42, 130, 218));
    p.setColor(QPalette::HighlightedText, QColor(35, 35, 35));
    p.setColor(QPalette::Light, QColor(80, 80, 80));
    p.setColor(QPalette::Midlight, QColor(66, 66, 66));
    p.setColor(QPalette::Mid, QColor(44, 44, 44));
    p.setColor(QPalette::Dark, QColor(25, 25, 25));
    p.setColor(QPalette::Shadow, QColor(20, 20, 20));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(127, 127, 127));
    return p;
}

}  // namespace parlo::test
