#pragma once
// Menus and popup menus from a menu description of the overlay (the same
// body format as the tree): each item a cell, its caption the display text,
// its shortcut the action text. Choosing an item hands its descriptor on.
#include <QMenu>
#include <QMenuBar>
#include <functional>
#include <memory>
#include <string>

#include "sheet/TreeModel.h"

namespace parlo {
class CellDispatcher;
}

namespace parlo::qt {

class MenuBuilder {
public:
    using Chosen = std::function<void(const CellDesc& item)>;

    // Reads the basic cell and body of `key`.
    explicit MenuBuilder(const std::string& key);

    // Fills a menu bar with the top-level items and their sub-menus.
    void FillMenuBar(QMenuBar* bar, Chosen chosen);
    // Fills a popup menu with the top-level items.
    void FillMenu(QMenu* menu, Chosen chosen);
    const TreeModel& Items() const { return items_; }

    // Asks the dispatcher for every item's state (checked, hidden,
    // disabled, caption), `parent` being the cell a popup menu belongs to.
    static void RefreshStates(QMenu* menu, CellDispatcher& cells, const CellDesc* parent = nullptr);
    // The same for one item.
    static void RefreshState(QAction* action, CellDispatcher& cells,
                             const CellDesc* parent = nullptr);

private:
    void AddItems(QMenu* menu, const TreeNode& node, const Chosen& chosen);

    TreeModel items_;
};

// The descriptor an action of a built menu or tool bar carries.
const CellDesc* DescOf(QAction* action);
void SetDescOf(QAction* action, const CellDesc* desc);

}  // namespace parlo::qt
