// The parts of a folder tree that the folder dialogs share: items carry the host and Windows form
// of their folder, and children are found by name the way the path layer finds them.
#pragma once

#include <QDir>
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

// Lists an item's sub-folders as its children the first time it is opened.
inline void FillBranch(QTreeWidgetItem* item) {
    if (!item || item->data(0, kFilledRole).toBool())
        return;
    item->setData(0, kFilledRole, true);
    const QString host = item->data(0, kHostRole).toString();
    const QString windows = item->data(0, kWindowsRole).toString();
    const QString separator =
        windows.endsWith(QLatin1Char('\\')) ? QString() : QStringLiteral("\\");
    const QStringList names =
        QDir(host).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                             QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names)
        item->addChild(MakeItem(name, QDir(host).filePath(name), windows + separator + name));
    if (names.isEmpty())
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
}

} // namespace qv::foldertree
