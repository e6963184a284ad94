#include "gui/NavigationTree.h"

#include <QHeaderView>

#include "gui/Icons.h"

namespace parlo::qt {

NavigationTree::NavigationTree(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    delay_.setSingleShot(true);
    delay_.setInterval(300);
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (rebuilding_ || item == nullptr) return;
        delay_.start();
    });
    connect(&delay_, &QTimer::timeout, this, [this] {
        if (TreeNode* node = NodeOf(currentItem()); node != nullptr && onSelected) onSelected(node);
    });
    auto expandChanged = [this](QTreeWidgetItem* item, bool expanded) {
        if (TreeNode* node = NodeOf(item)) node->expanded = expanded;
        if (!rebuilding_ && onExpandedChanged) onExpandedChanged();
    };
    connect(this, &QTreeWidget::itemExpanded, this,
            [=](QTreeWidgetItem* i) { expandChanged(i, true); });
    connect(this, &QTreeWidget::itemCollapsed, this,
            [=](QTreeWidgetItem* i) { expandChanged(i, false); });
}

TreeNode* NavigationTree::NodeOf(QTreeWidgetItem* item) {
    return item == nullptr ? nullptr
                           : static_cast<TreeNode*>(item->data(0, Qt::UserRole).value<void*>());
}

void NavigationTree::Refresh(QTreeWidgetItem* item, TreeNode* node) {
    item->setText(0, QString::fromStdString(node->caption));
    const int image = node->image >= 0 ? node->image : 2;
    item->setIcon(0, node->overlay >= 0 ? MarkedIcon(image, node->overlay) : TreeIcon(image));
}

void NavigationTree::Rebuild(TreeModel& tree) {
    rebuilding_ = true;
    clear();
    items_.clear();
    std::function<void(QTreeWidgetItem*, TreeNode&)> add = [&](QTreeWidgetItem* parent,
                                                               TreeNode& n) {
        for (auto& child : n.children) {
            auto* item =
                parent == nullptr ? new QTreeWidgetItem(this) : new QTreeWidgetItem(parent);
            item->setData(0, Qt::UserRole, QVariant::fromValue<void*>(child.get()));
            Refresh(item, child.get());
            items_[child.get()] = item;
            add(item, *child);
            item->setExpanded(child->expanded);
        }
    };
    add(nullptr, tree.Root());
    rebuilding_ = false;
}

void NavigationTree::Show(TreeModel& tree) {
    // Node addresses say nothing: a new tree, or new nodes, may take the
    // addresses of the ones just freed.
    const bool same = tree_ == &tree && generation_ == tree.Generation();
    tree_ = &tree;
    generation_ = tree.Generation();
    if (!same) Rebuild(tree);
    for (auto& [node, item] : items_) Refresh(item, node);
    if (TreeNode* selected = tree.Selected()) {
        auto it = items_.find(selected);
        if (it != items_.end() && currentItem() != it->second) {
            rebuilding_ = true;
            setCurrentItem(it->second);
            rebuilding_ = false;
        }
    }
}

}  // namespace parlo::qt
