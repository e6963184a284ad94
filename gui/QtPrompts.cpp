#include "gui/QtPrompts.h"

#include <QApplication>
#include <QMessageBox>

#include "platform/Fatal.h"
#include "platform/ProgramInfo.h"

namespace parlo::qt {

namespace {

QMessageBox::Icon ToQt(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Information: return QMessageBox::Information;
        case MsgIcon::Warning: return QMessageBox::Warning;
        case MsgIcon::Error: return QMessageBox::Critical;
        case MsgIcon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQt(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::Ok: return QMessageBox::Ok;
        case MsgButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
        case MsgButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
        case MsgButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

MsgAnswer FromQt(int button) {
    switch (button) {
        case QMessageBox::Ok: return MsgAnswer::Ok;
        case QMessageBox::Yes: return MsgAnswer::Yes;
        case QMessageBox::No: return MsgAnswer::No;
        default: return MsgAnswer::Cancel;
    }
}

}  // namespace

MsgAnswer QtPrompts::Message(const std::string& caption, const std::string& text, MsgIcon icon,
                             MsgButtons buttons) {
    QMessageBox box(ToQt(icon), QString::fromStdString(caption), QString::fromStdString(text),
                    ToQt(buttons), parent_);
    return FromQt(box.exec());
}

void InstallFatalBox() {
    SetFatalHandler([](const std::string& text) {
        std::fprintf(stderr, "%s: %s\n", ExecutableName().c_str(), text.c_str());
        if (QApplication::instance() != nullptr) {
            QMessageBox box(QMessageBox::Critical, QString::fromStdString(ExecutableName()),
                            QString::fromStdString(text), QMessageBox::Ok);
            box.exec();
        }
    });
}

}  // namespace parlo::qt
