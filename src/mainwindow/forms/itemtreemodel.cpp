#include "mainwindow/forms/itemtreemodel.h"

#include "core/forms/fixeddefs.h"
#include "mainwindow/objecttree.h"

namespace qv {

ItemTreeModel::ItemTreeModel(ItemTree& tree, QObject* parent)
    : QAbstractItemModel(parent), tree_(tree) {
    tree_.SetObserver(this);
}

ItemTreeModel::~ItemTreeModel() {
    if (tree_.Observer() == this)
        tree_.SetObserver(nullptr);
}

ItemNode* ItemTreeModel::NodeOf(const QModelIndex& index) {
    return index.isValid() ? static_cast<ItemNode*>(index.internalPointer()) : nullptr;
}

QModelIndex ItemTreeModel::IndexOf(const ItemNode* node) const {
    if (!node || node->Tree() != &tree_)
        return {};
    return createIndex(node->Index(), 0, const_cast<ItemNode*>(node));
}

QModelIndex ItemTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0 || row >= rowCount(parent))
        return {};
    const ItemNode* above = NodeOf(parent);
    return createIndex(row, 0, above ? above->Child(row) : tree_.Root(row));
}

QModelIndex ItemTreeModel::parent(const QModelIndex& child) const {
    const ItemNode* node = NodeOf(child);
    return node ? IndexOf(node->Parent()) : QModelIndex();
}

int ItemTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0)
        return 0;
    const ItemNode* node = NodeOf(parent);
    return node ? node->ChildCount() : tree_.RootCount();
}

int ItemTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant ItemTreeModel::data(const QModelIndex& index, int role) const {
    const ItemNode* node = NodeOf(index);
    if (!node)
        return {};
    if (role == Qt::DisplayRole)
        return ObjectNodeText(*node);
    if (role == Qt::DecorationRole) {
        const TFixedDefsForm* pictures = FixedDefsForm();
        if (pictures && node->StateIndex >= 0 &&
            node->StateIndex < pictures->StateImageList.Count())
            return pictures->StateImageList.Images.at(node->StateIndex);
    }
    return {};
}

// ---- What the tree tells ----------------------------------------------------------------------

void ItemTreeModel::TreeAboutToReset() {
    beginResetModel();
}

void ItemTreeModel::TreeReset() {
    endResetModel();
}

void ItemTreeModel::NodesAboutToBeInserted(ItemNode* parent, int first, int last) {
    beginInsertRows(IndexOf(parent), first, last);
}

void ItemTreeModel::NodesInserted(ItemNode*, int, int) {
    endInsertRows();
}

void ItemTreeModel::NodesAboutToBeRemoved(ItemNode* parent, int first, int last) {
    beginRemoveRows(IndexOf(parent), first, last);
}

void ItemTreeModel::NodesRemoved(ItemNode*, int, int) {
    endRemoveRows();
}

void ItemTreeModel::RecordsChanged(ItemNode* node) {
    if (!node) {
        SubtreeChanged(nullptr);
        return;
    }
    const QModelIndex index = IndexOf(node);
    emit dataChanged(index, index);
}

void ItemTreeModel::SubtreeChanged(ItemNode* parent) {
    const int count = parent ? parent->ChildCount() : tree_.RootCount();
    if (count == 0)
        return;
    const QModelIndex above = IndexOf(parent);
    emit dataChanged(index(0, 0, above), index(count - 1, 0, above));
    for (int i = 0; i < count; ++i)
        SubtreeChanged(parent ? parent->Child(i) : tree_.Root(i));
}

void ItemTreeModel::ExpansionChanged(ItemNode* node) {
    emit NodeExpansionChanged(IndexOf(node), node->Expanded());
}

} // namespace qv
