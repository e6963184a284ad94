#include "gui/MenuBuilder.h"

#include <QAction>
#include <QKeySequence>

#include "cells/CellDispatcher.h"
#include "gui/MenuAccelerators.h"
#include "overlay/OverlayText.h"

namespace parlo::qt {

namespace {

constexpr const char* kDescProperty = "parloDesc";

QString Caption(const TreeNode& node) { return QString::fromStdString(node.caption); }

}  // namespace

const CellDesc* DescOf(QAction* action) {
    return action->property(kDescProperty).value<const CellDesc*>();
}

void SetDescOf(QAction* action, const CellDesc* desc) {
    action->setProperty(kDescProperty, QVariant::fromValue(desc));
}

MenuBuilder::MenuBuilder(const std::string& key) : items_(MainOverlay(), key) { items_.Build(); }

void MenuBuilder::AddItems(QMenu* menu, const TreeNode& node, const Chosen& chosen) {
    for (const auto& child : node.children) {
        if (child->caption == "-") {
            menu->addSeparator();
            continue;
        }
        if (!child->children.empty()) {
            QMenu* sub = menu->addMenu(Caption(*child));
            AddItems(sub, *child, chosen);
            continue;
        }
        QAction* action = menu->addAction(Caption(*child));
        SetDescOf(action, &child->desc);
        action->setData(Caption(*child));
        // The action text holds the shortcut, or several apart by "; ".
        if (child->desc.action && !child->desc.action->empty())
            action->setShortcuts(
                QKeySequence::listFromString(QString::fromStdString(*child->desc.action)));
        const CellDesc* desc = &child->desc;
        QObject::connect(action, &QAction::triggered, [chosen, desc] { chosen(*desc); });
    }
    FitAccelerators(menu->actions());
}

void MenuBuilder::FillMenuBar(QMenuBar* bar, Chosen chosen) {
    for (const auto& top : items_.Root().children) {
        QMenu* menu = bar->addMenu(Caption(*top));
        AddItems(menu, *top, chosen);
    }
    FitAccelerators(bar->actions());
}

void MenuBuilder::FillMenu(QMenu* menu, Chosen chosen) { AddItems(menu, items_.Root(), chosen); }

void MenuBuilder::RefreshStates(QMenu* menu, CellDispatcher& cells, const CellDesc* parent) {
    for (QAction* action : menu->actions()) {
        if (action->menu() != nullptr) {
            RefreshStates(action->menu(), cells, parent);
            continue;
        }
        RefreshState(action, cells, parent);
    }
    FitAccelerators(menu->actions());
}

void MenuBuilder::RefreshState(QAction* action, CellDispatcher& cells, const CellDesc* parent) {
    const CellDesc* desc = DescOf(action);
    if (desc == nullptr || !desc->Bound()) return;
    CellContext ctx;
    ctx.desc = desc;
    ctx.parent = parent;
    cells.Handle(ctx, kModeDraw);
    action->setCheckable(ctx.checked);
    action->setChecked(ctx.checked);
    action->setVisible(!ctx.hidden);
    action->setEnabled(!ctx.disabled);
    action->setText(ctx.caption ? QString::fromStdString(*ctx.caption) : action->data().toString());
}

}  // namespace parlo::qt
