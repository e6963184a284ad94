#include "gui/NavigationTree.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>

#include "gui/Icons.h"
#include "sheet/SheetReading.h"

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
        if (clicked_) {
            delay_.stop();
            Selected();
        } else {
            delay_.start();
        }
    });
    connect(&delay_, &QTimer::timeout, this, &NavigationTree::Selected);
    auto expandChanged = [this](QTreeWidgetItem* item, bool expanded) {
        if (TreeNode* node = NodeOf(item)) node->expanded = expanded;
        if (!rebuilding_ && onExpandedChanged) onExpandedChanged();
    };
    connect(this, &QTreeWidget::itemExpanded, this,
            [=](QTreeWidgetItem* i) { expandChanged(i, true); });
    connect(this, &QTreeWidget::itemCollapsed, this,
            [=](QTreeWidgetItem* i) { expandChanged(i, false); });
}

void NavigationTree::Selected() {
    if (TreeNode* node = NodeOf(currentItem()); node != nullptr && onSelected) onSelected(node);
}

void NavigationTree::mousePressEvent(QMouseEvent* event) {
    clicked_ = true;
    QTreeWidget::mousePressEvent(event);
    clicked_ = false;
}

// Every caption counts, also those inside collapsed branches.
int NavigationTree::FittingWidth() const {
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    int widest = 0;
    std::function<void(QTreeWidgetItem*, int)> measure = [&](QTreeWidgetItem* item, int depth) {
        const QModelIndex index = indexFromItem(item);
        const int indent = (depth + (rootIsDecorated() ? 1 : 0)) * indentation();
        widest =
            std::max(widest, indent + itemDelegateForIndex(index)->sizeHint(option, index).width());
        for (int i = 0; i < item->childCount(); ++i) measure(item->child(i), depth + 1);
    };
    for (int i = 0; i < topLevelItemCount(); ++i) measure(topLevelItem(i), 0);
    // Room for the scroll bar that opening every branch may bring.
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return widest + 2 * frameWidth() + scrollBar + 4;
}

TreeNode* NavigationTree::NodeOf(QTreeWidgetItem* item) {
    return item == nullptr ? nullptr : item->data(0, Qt::UserRole).value<TreeNode*>();
}

// Only what changed is set: every warning check refreshes the whole tree.
// The caption is also the tooltip, for a panel too narrow to show it.
void NavigationTree::Refresh(QTreeWidgetItem* item, TreeNode* node) {
    const QString caption = QString::fromStdString(node->caption);
    if (item->text(0) != caption) {
        item->setText(0, caption);
        item->setToolTip(0, caption);
    }
    // The marks are drawn on the icon; a screen reader hears them.
    const QString reading = QString::fromStdString(TreeNodeReading(*node));
    if (item->data(0, Qt::AccessibleTextRole).toString() != reading)
        item->setData(0, Qt::AccessibleTextRole, reading);
    const int image = node->image >= 0 ? node->image : 2;
    const QIcon icon = node->overlay >= 0 ? MarkedIcon(image, node->overlay) : TreeIcon(image);
    if (item->icon(0).cacheKey() != icon.cacheKey()) item->setIcon(0, icon);
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
            item->setData(0, Qt::UserRole, QVariant::fromValue(child.get()));
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
    // A keyboard move still resting before its sheet opens is not undone by
    // a refresh (opening a branch refreshes the tree).
    if (TreeNode* selected = tree.Selected(); selected != nullptr && (!same || !delay_.isActive())) {
        auto it = items_.find(selected);
        if (it != items_.end() && currentItem() != it->second) {
            rebuilding_ = true;
            setCurrentItem(it->second);
            rebuilding_ = false;
        }
    }
}

}  // namespace parlo::qt
