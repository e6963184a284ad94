#pragma once
// The navigation tree as data: nodes built from a tree description of the
// overlay, each carrying a cell descriptor whose action names the sheet it
// opens. The tree view widget mirrors it.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cells/CellDesc.h"
#include "sheet/CellParser.h"

namespace parlo {

class OverlayText;

struct TreeNode {
    CellDesc desc;
    std::string caption;
    int image = -1;
    int overlay = -1;  // -1 none, 0 error mark, 1 warning mark
    // The channels behind a bank node's mark: with an error, with only a
    // warning.
    int errorChannels = 0, warningChannels = 0;
    bool expanded = false;
    TreeNode* parent = nullptr;
    std::vector<std::unique_ptr<TreeNode>> children;

    const std::string& Action() const;
    int Depth() const;
};

class TreeModel {
public:
    TreeModel(OverlayText& overlay, std::string key);
    virtual ~TreeModel() = default;

    // Reads the basic cell and the body; expands the first node.
    void Build();

    TreeNode& Root() { return root_; }
    const TreeNode& Root() const { return root_; }
    const CellDesc& BasicCell() const { return basic_; }

    // Adds the items of a body section below `parent`, from line `first`
    // (inclusive) to the first line beginning with "#"; returns the first
    // node added at the top level of the branch, or nullptr.
    TreeNode* AddBranch(TreeNode* parent, const std::string& section, int first = 0,
                        int count = -1);
    // Appends one body line (its depth ignored) as the last child of `parent`.
    TreeNode* AddItem(TreeNode* parent, const std::string& bodyLine);
    // Inserts one item of a section after `sibling` (same parent).
    TreeNode* InsertAfter(TreeNode* sibling, const std::string& section, int line);
    void ClearChildren(TreeNode* node);
    void Remove(TreeNode* node);

    // The first node in tree order whose action equals `action`.
    TreeNode* FindNode(const std::string& action);
    // Every node in tree order.
    void ForEach(const std::function<void(TreeNode&)>& f);

    void ClearMarks(TreeNode* node);
    // Marks the nodes whose action is listed, and every collapsed node with
    // a marked node below it; returns the number of nodes marked.
    int Mark(TreeNode* node, const std::vector<std::string>& actions, int overlay);

    TreeNode* Selected() const { return selected_; }
    void Select(TreeNode* node) { selected_ = node; }

    // The tree as text: two blanks per level, caption, tab, action.
    std::string Listing() const;

    // Changes whenever nodes are added or removed, and differs between any
    // two trees of the process: a view knows from it that its items are
    // stale, whatever addresses the new nodes happen to have.
    uint64_t Generation() const { return generation_; }

protected:
    OverlayText& Overlay() { return overlay_; }

private:
    std::unique_ptr<TreeNode> ParseItem(const std::string& source);
    void NodesChanged();

    OverlayText& overlay_;
    std::string key_;
    CellParser parser_;
    CellDesc basic_;
    Counters counters_{};
    TreeNode root_;
    TreeNode* selected_ = nullptr;
    uint64_t generation_ = 0;
};

}  // namespace parlo
