#include "gui/DifferencesWindow.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "overlay/OverlayText.h"

namespace parlo::qt {

DifferencesWindow::DifferencesWindow(QWidget* parent, const std::string& file,
                                     ImageDifferences differences, GoTo goTo)
    : QDialog(parent), differences_(std::move(differences)), goTo_(std::move(goTo)) {
    setAttribute(Qt::WA_DeleteOnClose);
    const QString name = QFileInfo(QString::fromStdString(file)).fileName();
    setWindowTitle(QString::fromStdString(OvlText("GI_Compare_Window", 0)).arg(name));
    auto* layout = new QVBoxLayout(this);
    const int count = static_cast<int>(differences_.cells.size() + differences_.bytes.size());
    const std::string head =
        count == 0 ? OvlText("GI_Compare_Window", 2) : OvlText("GI_Compare_Window", 1);
    auto* label = new QLabel(QString::fromStdString(head).arg(name).arg(count), this);
    layout->addWidget(label);
    list_ = new QListWidget(this);
    for (const std::string& line : differences_.Lines())
        list_->addItem(QString::fromStdString(line));
    layout->addWidget(list_);
    auto* close = new QPushButton(QString::fromStdString(OvlText("GI_Compare_Window", 3)), this);
    // Enter in the list opens a line's cell; it does not close the window.
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    layout->addWidget(close, 0, Qt::AlignRight);
    connect(list_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { Activate(list_->row(item)); });
    resize(640, 400);
}

void DifferencesWindow::Activate(int line) {
    if (line < 0 || static_cast<size_t>(line) >= differences_.cells.size()) return;
    goTo_(differences_.cells[static_cast<size_t>(line)]);
}

}  // namespace parlo::qt
