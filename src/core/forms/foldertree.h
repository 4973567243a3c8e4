// The pieces of a folder tree that the folder dialogs share: items carry the host and Windows form
// of their folder, and children are found by name the way the path layer finds them.
#pragma once

#include <QString>
#include <QStringList>
#include <QTreeWidgetItem>

namespace qv::foldertree {

constexpr int kHostRole = Qt::UserRole;
constexpr int kWindowsRole = Qt::UserRole + 1;
constexpr int kFilledRole = Qt::UserRole + 2;

inline QTreeWidgetItem* MakeItem(const QString& name, const QString& host, const QString& windows) {
    auto* item = new QTreeWidgetItem(QStringList(name));
    item->setData(0, kHostRole, host);
    item->setData(0, kWindowsRole, windows);
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

// The child named like `name`: the exact name first, else the one that matches without regard
// to letter case.
inline QTreeWidgetItem* ChildNamed(QTreeWidgetItem* parent, const QString& name) {
    QTreeWidgetItem* folded = nullptr;
    for (int i = 0; i < parent->childCount(); ++i) {
        QTreeWidgetItem* child = parent->child(i);
        if (child->text(0) == name)
            return child;
        if (!folded && child->text(0).compare(name, Qt::CaseInsensitive) == 0)
            folded = child;
    }
    return folded;
}

} // namespace qv::foldertree
