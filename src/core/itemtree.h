// The tree of stored objects without any widget: each node owns its ItemSet record and its
// children. Deleting a node frees its records; detaching hands the node over with its records
// intact, so that it can be put elsewhere. A view shows the tree through an adapter, which
// follows the tree's changes through its observer.
#pragma once

#include "core/itemset.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace qv {

class ItemTree;
class ItemNode;

// What a view of the tree must follow. A null parent stands for the top level. While the tree's
// update lock is held nothing is told; its release is told as one reset.
class ItemTreeObserver {
public:
    virtual ~ItemTreeObserver() = default;
    virtual void TreeAboutToReset() = 0;
    virtual void TreeReset() = 0;
    virtual void NodesAboutToBeInserted(ItemNode* parent, int first, int last) = 0;
    virtual void NodesInserted(ItemNode* parent, int first, int last) = 0;
    virtual void NodesAboutToBeRemoved(ItemNode* parent, int first, int last) = 0;
    virtual void NodesRemoved(ItemNode* parent, int first, int last) = 0;
    // The node's record or state icon changed; null: those of any node.
    virtual void RecordsChanged(ItemNode* node) = 0;
    virtual void SelectionChanged() = 0;
    virtual void ExpansionChanged(ItemNode* node) = 0;
};

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

    // Whether the node is open (its children shown once its ancestors are open too). Kept here
    // so that the state survives a view's reset and can be set without a view.
    bool Expanded() const { return expanded_; }
    void SetExpanded(bool expanded);

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
    // Frees every child with its subtree and records.
    void DeleteChildren();

private:
    friend class ItemTree;
    struct TreeRootTag {};
    ItemNode(TreeRootTag, ItemTree* owner);

    ItemNode* Adopt(std::unique_ptr<ItemNode> child, std::size_t position);
    bool Contains(const ItemNode* node) const;
    // The parent as an observer is told it: null for the top level.
    ItemNode* ObservedSelf() { return owner_ ? nullptr : this; }

    std::unique_ptr<ItemSet> data_;
    std::vector<std::unique_ptr<ItemNode>> children_;
    ItemNode* parent_ = nullptr;
    // Set only on the hidden node whose children are the tree's top-level nodes.
    ItemTree* owner_ = nullptr;
    bool expanded_ = false;
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

    // The one observer (not owned), or null.
    void SetObserver(ItemTreeObserver* observer) { observer_ = observer; }
    ItemTreeObserver* Observer() const { return observer_; }
    // Many changes at once (a rebuild) are told as one reset: the first BeginUpdate tells that a
    // reset begins, the matching EndUpdate that it is done. Calls nest.
    void BeginUpdate();
    void EndUpdate();
    // Tells the observer that records or state icons changed in place: the node's, or any node's
    // when none is given. Code that changes marks calls it, since records are plain data.
    void NotifyRecordsChanged(ItemNode* node = nullptr);

private:
    friend class ItemNode;
    // The observer, unless the update lock is held.
    ItemTreeObserver* Told() const { return updateDepth_ == 0 ? observer_ : nullptr; }

    ItemNode root_;
    ItemNode* selected_ = nullptr;
    ItemTreeObserver* observer_ = nullptr;
    int updateDepth_ = 0;
};

// Counts the node's direct children by StoreInd: SI_IN_STORE into inStore, SI_IN_USE into inUse,
// SI_LIST_ACTIVE into active, SI_LIST_INACTIVE into inactive; other values are not counted. The
// counters are set to 0 first when zero is set or no node is given.
void CountChildStates(const ItemNode* node, std::int32_t& inStore, std::int32_t& inUse,
                      std::int32_t& active, std::int32_t& inactive, bool zero);

} // namespace qv
