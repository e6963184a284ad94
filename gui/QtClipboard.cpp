#include "gui/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace parlo::qt {

std::string QtClipboard::Text() const { return QGuiApplication::clipboard()->text().toStdString(); }

void QtClipboard::SetText(const std::string& text) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

}  // namespace parlo::qt
