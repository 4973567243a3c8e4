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
    ItemTree* tree = Tree();
    ItemTreeObserver* observer = tree ? tree->Told() : nullptr;
    if (observer)
        observer->NodesAboutToBeInserted(ObservedSelf(), int(position), int(position));
    child->parent_ = this;
    ItemNode* added = child.get();
    children_.insert(children_.begin() + std::ptrdiff_t(position), std::move(child));
    if (observer)
        observer->NodesInserted(ObservedSelf(), int(position), int(position));
    return added;
}

void ItemNode::SetExpanded(bool expanded) {
    if (expanded_ == expanded)
        return;
    expanded_ = expanded;
    if (ItemTree* tree = Tree(); tree && tree->Told())
        tree->Told()->ExpansionChanged(this);
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
    ItemTree* tree = Tree();
    ItemTreeObserver* observer = tree ? tree->Told() : nullptr;
    const bool wasSelected = tree && Contains(tree->selected_);
    if (wasSelected)
        tree->selected_ = nullptr;
    ItemNode* parent = parent_;
    const int index = Index();
    if (observer)
        observer->NodesAboutToBeRemoved(parent->ObservedSelf(), index, index);
    auto& siblings = parent->children_;
    const auto it = siblings.begin() + index;
    std::unique_ptr<ItemNode> self = std::move(*it);
    siblings.erase(it);
    parent_ = nullptr;
    if (observer) {
        observer->NodesRemoved(parent->ObservedSelf(), index, index);
        if (wasSelected)
            observer->SelectionChanged();
    }
    return self;
}

void ItemNode::Delete() {
    Detach().reset();
}

void ItemNode::DeleteChildren() {
    if (children_.empty())
        return;
    ItemTree* tree = Tree();
    ItemTreeObserver* observer = tree ? tree->Told() : nullptr;
    const int last = ChildCount() - 1;
    bool wasSelected = false;
    if (tree && tree->selected_ && tree->selected_ != this && Contains(tree->selected_)) {
        tree->selected_ = nullptr;
        wasSelected = true;
    }
    if (observer)
        observer->NodesAboutToBeRemoved(ObservedSelf(), 0, last);
    // Taken out of the tree before they are freed, so that nothing reaches a half-freed node.
    std::vector<std::unique_ptr<ItemNode>> children = std::move(children_);
    children_.clear();
    for (auto& child : children)
        child->parent_ = nullptr;
    if (observer) {
        observer->NodesRemoved(ObservedSelf(), 0, last);
        if (wasSelected)
            observer->SelectionChanged();
    }
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
    ItemNode* selected = (node && node->Tree() == this) ? node : nullptr;
    if (selected == selected_)
        return;
    selected_ = selected;
    if (ItemTreeObserver* observer = Told())
        observer->SelectionChanged();
}

void ItemTree::Clear() {
    ItemTreeObserver* observer = Told();
    if (observer)
        observer->TreeAboutToReset();
    selected_ = nullptr;
    // Taken out first, so that nothing reaches the nodes while they are freed.
    std::vector<std::unique_ptr<ItemNode>> nodes = std::move(root_.children_);
    root_.children_.clear();
    for (auto& node : nodes)
        node->parent_ = nullptr;
    nodes.clear();
    if (observer)
        observer->TreeReset();
}

void ItemTree::BeginUpdate() {
    if (updateDepth_++ == 0 && observer_)
        observer_->TreeAboutToReset();
}

void ItemTree::EndUpdate() {
    if (updateDepth_ == 0)
        return;
    if (--updateDepth_ == 0 && observer_)
        observer_->TreeReset();
}

void ItemTree::NotifyRecordsChanged(ItemNode* node) {
    if (ItemTreeObserver* observer = Told())
        observer->RecordsChanged(node);
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
