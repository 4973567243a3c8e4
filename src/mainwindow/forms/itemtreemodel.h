// The item model through which a tree view shows the tree of stored objects: one column, the
// node's text and its state icon. It observes the tree, so that rebuilds, filled list nodes and
// changed marks reach the view, and passes selection and expansion changes on as signals.
#pragma once

#include "core/itemtree.h"

#include <QAbstractItemModel>

namespace qv {

class ItemTreeModel : public QAbstractItemModel, private ItemTreeObserver {
    Q_OBJECT

public:
    // Observes the tree, which must outlive the model.
    explicit ItemTreeModel(ItemTree& tree, QObject* parent = nullptr);
    ~ItemTreeModel() override;

    ItemTree& Tree() const { return tree_; }
    // The node of an index (null for the invalid index) and the index of a node (invalid for
    // null).
    static ItemNode* NodeOf(const QModelIndex& index);
    QModelIndex IndexOf(const ItemNode* node) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

signals:
    // The tree's selected node changed.
    void SelectedNodeChanged();
    // A node was opened or closed.
    void NodeExpansionChanged(const QModelIndex& index, bool expanded);

private:
    void TreeAboutToReset() override;
    void TreeReset() override;
    void NodesAboutToBeInserted(ItemNode* parent, int first, int last) override;
    void NodesInserted(ItemNode* parent, int first, int last) override;
    void NodesAboutToBeRemoved(ItemNode* parent, int first, int last) override;
    void NodesRemoved(ItemNode* parent, int first, int last) override;
    void RecordsChanged(ItemNode* node) override;
    void SelectionChanged() override { emit SelectedNodeChanged(); }
    void ExpansionChanged(ItemNode* node) override;
    // Tells the view that every record below the parent (and deeper) may have changed.
    void SubtreeChanged(ItemNode* parent);

    ItemTree& tree_;
};

} // namespace qv
