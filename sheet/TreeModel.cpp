#include "sheet/TreeModel.h"

#include <algorithm>
#include <atomic>

#include "overlay/OverlayText.h"

namespace parlo {

const std::string& TreeNode::Action() const {
    static const std::string none;
    return desc.action ? *desc.action : none;
}

int TreeNode::Depth() const {
    int d = -1;
    for (const TreeNode* n = parent; n != nullptr; n = n->parent) ++d;
    return d;
}

TreeModel::TreeModel(OverlayText& overlay, std::string key)
    : overlay_(overlay), key_(std::move(key)), parser_(overlay) {
    NodesChanged();
}

void TreeModel::NodesChanged() {
    static std::atomic<uint64_t> next{0};
    generation_ = ++next;
}

void TreeModel::Build() {
    parser_.ParseCell(overlay_.GetText(key_ + "_BasicCell", 0), basic_, nullptr, counters_);
    AddBranch(&root_, key_ + "_Body");
    if (!root_.children.empty()) root_.children.front()->expanded = true;
}

std::unique_ptr<TreeNode> TreeModel::ParseItem(const std::string& source) {
    auto node = std::make_unique<TreeNode>();
    parser_.ParseCell(source, node->desc, &basic_, counters_);
    node->caption = node->desc.Text();
    node->image = node->desc.imageIndex;
    return node;
}

TreeNode* TreeModel::AddBranch(TreeNode* parent, const std::string& section, int first, int count) {
    // Depth is the number of characters before the first "+"; a line without
    // one is as deep as it is long and holds an empty item.
    std::vector<std::pair<size_t, TreeNode*>> stack;  // (depth, node) of open levels
    TreeNode* firstAdded = nullptr;
    NodesChanged();
    for (int i = first; count < 0 || i < first + count; ++i) {
        const std::string line = overlay_.GetText(section, i);
        if (!line.empty() && line[0] == '#') break;
        const size_t plus = line.find('+');
        const size_t depth = plus == std::string::npos ? line.size() : plus;
        auto node = ParseItem(plus == std::string::npos ? std::string() : line.substr(plus + 1));
        while (!stack.empty() && stack.back().first >= depth) stack.pop_back();
        TreeNode* into = stack.empty() ? parent : stack.back().second;
        node->parent = into;
        into->children.push_back(std::move(node));
        TreeNode* added = into->children.back().get();
        if (firstAdded == nullptr) firstAdded = added;
        stack.emplace_back(depth, added);
    }
    return firstAdded;
}

TreeNode* TreeModel::AddItem(TreeNode* parent, const std::string& bodyLine) {
    const size_t plus = bodyLine.find('+');
    auto node = ParseItem(plus == std::string::npos ? std::string() : bodyLine.substr(plus + 1));
    node->parent = parent;
    parent->children.push_back(std::move(node));
    NodesChanged();
    return parent->children.back().get();
}

TreeNode* TreeModel::InsertAfter(TreeNode* sibling, const std::string& section, int line) {
    if (sibling == nullptr || sibling->parent == nullptr) return nullptr;
    std::string text = overlay_.GetText(section, line);
    const size_t plus = text.find('+');
    auto node = ParseItem(plus == std::string::npos ? std::string() : text.substr(plus + 1));
    TreeNode* parent = sibling->parent;
    node->parent = parent;
    auto& kids = parent->children;
    NodesChanged();
    auto it = std::find_if(kids.begin(), kids.end(), [&](auto& k) { return k.get() == sibling; });
    return kids.insert(it == kids.end() ? it : it + 1, std::move(node))->get();
}

void TreeModel::ClearChildren(TreeNode* node) {
    ForEach([&](TreeNode& n) {
        for (TreeNode* p = n.parent; p != nullptr; p = p->parent) {
            if (p == node && selected_ == &n) selected_ = nullptr;
        }
    });
    node->children.clear();
    NodesChanged();
}

void TreeModel::Remove(TreeNode* node) {
    if (node == nullptr || node->parent == nullptr) return;
    ClearChildren(node);
    if (selected_ == node) selected_ = nullptr;
    auto& kids = node->parent->children;
    kids.erase(std::remove_if(kids.begin(), kids.end(), [&](auto& k) { return k.get() == node; }),
               kids.end());
    NodesChanged();
}

void TreeModel::ForEach(const std::function<void(TreeNode&)>& f) {
    std::function<void(TreeNode&)> walk = [&](TreeNode& n) {
        for (auto& child : n.children) {
            f(*child);
            walk(*child);
        }
    };
    walk(root_);
}

TreeNode* TreeModel::FindNode(const std::string& action) {
    TreeNode* found = nullptr;
    ForEach([&](TreeNode& n) {
        if (found == nullptr && n.desc.action && *n.desc.action == action) found = &n;
    });
    return found;
}

void TreeModel::ClearMarks(TreeNode* node) {
    node->overlay = -1;
    node->errorChannels = node->warningChannels = 0;
    for (auto& child : node->children) ClearMarks(child.get());
}

int TreeModel::Mark(TreeNode* node, const std::vector<std::string>& actions, int overlay) {
    int marked = 0;
    bool below = false;
    for (auto& child : node->children) {
        const int n = Mark(child.get(), actions, overlay);
        marked += n;
        below |= n > 0 || child->overlay == overlay;
    }
    const bool listed = node->desc.action && std::find(actions.begin(), actions.end(),
                                                       *node->desc.action) != actions.end();
    if (node != &root_ && (listed || (below && !node->expanded))) {
        node->overlay = overlay;
        ++marked;
    }
    return marked;
}

std::string TreeModel::Listing() const {
    std::string out;
    std::function<void(const TreeNode&, int)> walk = [&](const TreeNode& n, int depth) {
        for (const auto& child : n.children) {
            out += std::string(static_cast<size_t>(2 * depth), ' ') + child->caption + '\t' +
                   child->Action() + '\n';
            walk(*child, depth + 1);
        }
    };
    walk(root_, 0);
    return out;
}

}  // namespace parlo
