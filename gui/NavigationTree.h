#pragma once
// The navigation tree view: mirrors the tree model, shows the node icons
// with their warning and error marks, and tells which node is selected: at
// once for a click, and for keyboard moves once the selection has rested
// for the overlay's change delay, so arrowing through the tree stays fast.
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <map>

#include "sheet/TreeModel.h"

namespace parlo::qt {

class NavigationTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit NavigationTree(QWidget* parent = nullptr);

    // Shows the model; rebuilds the items when the nodes changed, else only
    // refreshes captions, icons and marks.
    void Show(TreeModel& tree);
    void SetChangeDelay(int ms) { delay_.setInterval(ms); }
    // The width that shows every caption in full.
    int FittingWidth() const;

    std::function<void(TreeNode*)> onSelected;
    std::function<void()> onExpandedChanged;

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Selected();

    void Rebuild(TreeModel& tree);
    void Refresh(QTreeWidgetItem* item, TreeNode* node);
    static TreeNode* NodeOf(QTreeWidgetItem* item);

    TreeModel* tree_ = nullptr;
    uint64_t generation_ = 0;  // of the tree the items were built for
    std::map<TreeNode*, QTreeWidgetItem*> items_;
    QTimer delay_;
    bool rebuilding_ = false;
    bool clicked_ = false;  // the current item changes by a click
};

}  // namespace parlo::qt
