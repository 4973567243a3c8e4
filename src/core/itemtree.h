// The tree of stored objects without any widget: each node owns its ItemSet record and its
// children. Deleting a node frees its records; detaching hands the node over with its records
// intact, so that it can be put elsewhere. A view shows the tree through an adapter.
#pragma once

#include "core/itemset.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace qv {

class ItemTree;

class ItemNode {
public:
    // A node that owns the given record (a new empty record when none is given).
    explicit ItemNode(std::unique_ptr<ItemSet> data = nullptr);
    ~ItemNode();
    ItemNode(const ItemNode&) = delete;
    ItemNode& operator=(const ItemNode&) = delete;

    // The node's record; never null.
    ItemSet* Data() const { return data_.get(); }

    // The state icon the view shows beside the node (a StoreInd value); -1 shows none.
    int StateIndex = -1;

    // The parent node; null for a top-level node and for a node in no tree.
    ItemNode* Parent() const;
    int ChildCount() const { return int(children_.size()); }
    ItemNode* Child(int index) const { return children_.at(std::size_t(index)).get(); }
    ItemNode* FirstChild() const { return children_.empty() ? nullptr : children_.front().get(); }
    // The next node with the same parent (top-level nodes are siblings of each other).
    ItemNode* NextSibling() const;
    // The place among the siblings; -1 for a node that is in no tree.
    int Index() const;
    // The tree the node is in, or null.
    ItemTree* Tree() const;

    // The next node in tree order (depth-first pre-order across the whole tree), or null.
    ItemNode* GetNext() const;

    // Adds a node (or a new node owning the record) as the last child; returns it. A node is
    // taken only when it is not this node or one of its ancestors; otherwise the result is null
    // and the node stays with the caller.
    ItemNode* AddChild(std::unique_ptr<ItemNode>&& child);
    ItemNode* AddChild(std::unique_ptr<ItemSet> data);
    // Puts a node right after this one among its siblings and returns it. Null, and the node
    // stays with the caller, when this node is in no tree or would end up inside the new node.
    ItemNode* InsertSiblingAfter(std::unique_ptr<ItemNode>&& sibling);

    // Takes the node with its subtree out of its tree and hands it over; records stay alive.
    // Null for a node that is in no tree (its owner already holds it).
    std::unique_ptr<ItemNode> Detach();
    // Takes the node out of its tree and frees it, its subtree and their records. A node in no
    // tree belongs to whoever holds it and is left alone.
    void Delete();

private:
    friend class ItemTree;
    struct TreeRootTag {};
    ItemNode(TreeRootTag, ItemTree* owner);

    ItemNode* Adopt(std::unique_ptr<ItemNode> child, std::size_t position);
    bool Contains(const ItemNode* node) const;

    std::unique_ptr<ItemSet> data_;
    std::vector<std::unique_ptr<ItemNode>> children_;
    ItemNode* parent_ = nullptr;
    // Set only on the hidden node whose children are the tree's top-level nodes.
    ItemTree* owner_ = nullptr;
};

class ItemTree {
public:
    ItemTree();
    ~ItemTree();
    ItemTree(const ItemTree&) = delete;
    ItemTree& operator=(const ItemTree&) = delete;

    int RootCount() const { return root_.ChildCount(); }
    ItemNode* Root(int index) const { return root_.Child(index); }
    // The first node in tree order, or null for an empty tree.
    ItemNode* First() const { return root_.FirstChild(); }

    // Adds a top-level node (or a new one owning the record) at the end; returns it.
    ItemNode* AddRoot(std::unique_ptr<ItemNode>&& node);
    ItemNode* AddRoot(std::unique_ptr<ItemSet> data);

    // The selected node, or null. A node taken out of the tree is no longer selected.
    ItemNode* Selected() const { return selected_; }
    void SetSelected(ItemNode* node);

    // Frees every node and record.
    void Clear();

private:
    friend class ItemNode;
    ItemNode root_;
    ItemNode* selected_ = nullptr;
};

// Counts the node's direct children by StoreInd: SI_IN_STORE into inStore, SI_IN_USE into inUse,
// SI_LIST_ACTIVE into active, SI_LIST_INACTIVE into inactive; other values are not counted. The
// counters are set to 0 first when zero is set or no node is given.
void CountChildStates(const ItemNode* node, std::int32_t& inStore, std::int32_t& inUse,
                      std::int32_t& active, std::int32_t& inactive, bool zero);

} // namespace qv
