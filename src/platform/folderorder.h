// The cached folders in path order, for finding the folders below one. Taking in a folder only
// appends it; those added are sorted in when the folders below one are next asked for. A start
// takes in tens of thousands of folders and asks for none below one, so each spares a tree node
// and a dozen path comparisons.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace qv {

class FolderOrder {
public:
    // Tells whether a folder is still held by the cache; asked for each one when sorting.
    using Held = std::function<bool(const QString&)>;

    // A folder newly held.
    void Add(const QString& folder) { added_.push_back(folder); }

    // A folder no longer held (`held` already says so). It is let go of at the next sort, which
    // comes early when the folders let go of would outnumber those held.
    void Drop(const Held& held);

    void Clear();

    // The folders held below `below` (a folder with its trailing separator), in order.
    QStringList Below(const QString& below, const Held& held);

private:
    void Sort(const Held& held);

    std::vector<QString> sorted_;
    std::vector<QString> added_; // since the last sort, in no order
    std::size_t dropped_ = 0;    // since the last sort
};

} // namespace qv
