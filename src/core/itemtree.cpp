#include "core/itemtree.h"

#include <algorithm>

namespace qv {

// ---- ItemNode ----------------------------------------------------------------------------------

ItemNode::ItemNode(std::unique_ptr<ItemSet> data)
    : data_(data ? std::move(data) : std::make_unique<ItemSet>()) {}

ItemNode::ItemNode(TreeRootTag, ItemTree* owner)
    : data_(std::make_unique<ItemSet>()), owner_(owner) {}

ItemNode::~ItemNode() = default;

ItemNode* ItemNode::Parent() const {
    return (parent_ && !parent_->owner_) ? parent_ : nullptr;
}

int ItemNode::Index() const {
    if (!parent_)
        return -1;
    const auto& siblings = parent_->children_;
    const auto it =
        std::find_if(siblings.begin(), siblings.end(),
                     [this](const std::unique_ptr<ItemNode>& n) { return n.get() == this; });
    return int(it - siblings.begin());
}

ItemNode* ItemNode::NextSibling() const {
    if (!parent_)
        return nullptr;
    const std::size_t next = std::size_t(Index()) + 1;
    return next < parent_->children_.size() ? parent_->children_[next].get() : nullptr;
}

ItemTree* ItemNode::Tree() const {
    const ItemNode* top = this;
    while (top->parent_)
        top = top->parent_;
    return top->owner_;
}

ItemNode* ItemNode::GetNext() const {
    if (!children_.empty())
        return children_.front().get();
    // Climb until an ancestor (or this node) has a next sibling; the hidden root has none.
    for (const ItemNode* n = this; n && !n->owner_; n = n->parent_) {
        if (ItemNode* sibling = n->NextSibling())
            return sibling;
    }
    return nullptr;
}

bool ItemNode::Contains(const ItemNode* node) const {
    for (; node; node = node->parent_) {
        if (node == this)
            return true;
    }
    return false;
}

ItemNode* ItemNode::Adopt(std::unique_ptr<ItemNode> child, std::size_t position) {
    child->parent_ = this;
    ItemNode* added = child.get();
    children_.insert(children_.begin() + std::ptrdiff_t(position), std::move(child));
    return added;
}

ItemNode* ItemNode::AddChild(std::unique_ptr<ItemNode>&& child) {
    if (!child || child->Contains(this))
        return nullptr;
    return Adopt(std::move(child), children_.size());
}

ItemNode* ItemNode::AddChild(std::unique_ptr<ItemSet> data) {
    return Adopt(std::make_unique<ItemNode>(std::move(data)), children_.size());
}

ItemNode* ItemNode::InsertSiblingAfter(std::unique_ptr<ItemNode>&& sibling) {
    if (!parent_ || !sibling || sibling->Contains(this))
        return nullptr;
    return parent_->Adopt(std::move(sibling), std::size_t(Index()) + 1);
}

std::unique_ptr<ItemNode> ItemNode::Detach() {
    if (!parent_)
        return nullptr;
    if (ItemTree* tree = Tree(); tree && Contains(tree->selected_))
        tree->selected_ = nullptr;
    auto& siblings = parent_->children_;
    const auto it = siblings.begin() + Index();
    std::unique_ptr<ItemNode> self = std::move(*it);
    siblings.erase(it);
    parent_ = nullptr;
    return self;
}

void ItemNode::Delete() {
    Detach().reset();
}

// ---- ItemTree ----------------------------------------------------------------------------------

ItemTree::ItemTree() : root_(ItemNode::TreeRootTag{}, this) {}

ItemTree::~ItemTree() = default;

ItemNode* ItemTree::AddRoot(std::unique_ptr<ItemNode>&& node) {
    return root_.AddChild(std::move(node));
}

ItemNode* ItemTree::AddRoot(std::unique_ptr<ItemSet> data) {
    return root_.AddChild(std::move(data));
}

void ItemTree::SetSelected(ItemNode* node) {
    selected_ = (node && node->Tree() == this) ? node : nullptr;
}

void ItemTree::Clear() {
    selected_ = nullptr;
    root_.children_.clear();
}

// ---- Counting ----------------------------------------------------------------------------------

void CountChildStates(const ItemNode* node, std::int32_t& inStore, std::int32_t& inUse,
                      std::int32_t& active, std::int32_t& inactive, bool zero) {
    if (zero || !node)
        inStore = inUse = active = inactive = 0;
    if (!node)
        return;
    for (int i = 0; i < node->ChildCount(); ++i) {
        switch (node->Child(i)->Data()->StoreInd) {
        case SI_IN_STORE:
            ++inStore;
            break;
        case SI_IN_USE:
            ++inUse;
            break;
        case SI_LIST_ACTIVE:
            ++active;
            break;
        case SI_LIST_INACTIVE:
            ++inactive;
            break;
        default:
            break;
        }
    }
}

} // namespace qv
