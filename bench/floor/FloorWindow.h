#pragma once
// The floor the desktop program is measured against: the least a Qt 6
// program with the same kind of window does. A main window with a tree of
// pages and a 64 x 20 table; a click on a page fills the table anew, and a
// file given is read whole before the window shows.
#include <QMainWindow>
#include <QString>

class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace parlo::bench {

class FloorWindow : public QMainWindow {
public:
    explicit FloorWindow(const QString& file = QString(), QWidget* parent = nullptr);

    QTreeWidget* Tree() const { return tree_; }
    QTableWidget* Table() const { return table_; }
    // The tree's items in the order a walk through them meets them.
    QList<QTreeWidgetItem*> Items() const;

private:
    void ShowPage(int page);

    QTreeWidget* tree_ = nullptr;
    QTableWidget* table_ = nullptr;
    qsizetype fileLines_ = 0;
};

}  // namespace parlo::bench
