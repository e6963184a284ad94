#include "bench/floor/FloorWindow.h"

#include <QFile>
#include <QHeaderView>
#include <QSplitter>
#include <QTableWidget>
#include <QTreeWidget>

namespace parlo::bench {

namespace {

constexpr int kRows = 64;
constexpr int kColumns = 20;
// Branches and pages as many as the desktop program's largest tree has.
constexpr int kBranches = 6;
constexpr int kPagesPerBranch = 6;

}  // namespace

FloorWindow::FloorWindow(const QString& file, QWidget* parent) : QMainWindow(parent) {
    if (!file.isEmpty()) {
        QFile in(file);
        if (in.open(QIODevice::ReadOnly)) fileLines_ = in.readAll().count('\n');
    }
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    tree_ = new QTreeWidget(splitter);
    tree_->setHeaderHidden(true);
    int page = 0;
    for (int b = 0; b < kBranches; ++b) {
        auto* branch = new QTreeWidgetItem(tree_, {QString("Branch %1").arg(b + 1)});
        branch->setData(0, Qt::UserRole, page++);
        for (int p = 0; p < kPagesPerBranch; ++p) {
            auto* item = new QTreeWidgetItem(branch, {QString("Page %1").arg(p + 1)});
            item->setData(0, Qt::UserRole, page++);
        }
        branch->setExpanded(true);
    }
    table_ = new QTableWidget(kRows, kColumns, splitter);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({200, 600});
    setCentralWidget(splitter);
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (item != nullptr) ShowPage(item->data(0, Qt::UserRole).toInt());
    });
    setWindowTitle(QString("Floor (%1 lines read)").arg(fileLines_));
    resize(800, 600);
    ShowPage(0);
}

QList<QTreeWidgetItem*> FloorWindow::Items() const {
    QList<QTreeWidgetItem*> items;
    for (int b = 0; b < tree_->topLevelItemCount(); ++b) {
        QTreeWidgetItem* branch = tree_->topLevelItem(b);
        items << branch;
        for (int p = 0; p < branch->childCount(); ++p) items << branch->child(p);
    }
    return items;
}

void FloorWindow::ShowPage(int page) {
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            const QString text = c == 0 ? QString("%1-%2").arg(page).arg(r + 1)
                                        : QString::number(446.00625 + 0.0125 * (r + c), 'f', 6);
            if (QTableWidgetItem* item = table_->item(r, c))
                item->setText(text);
            else
                table_->setItem(r, c, new QTableWidgetItem(text));
        }
    }
}

}  // namespace parlo::bench
