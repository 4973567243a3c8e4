#include "platform/folderorder.h"

#include <algorithm>
#include <iterator>

namespace qv {

void FolderOrder::Drop(const Held& held) {
    if (++dropped_ > (sorted_.size() + added_.size()) / 2)
        Sort(held);
}

void FolderOrder::Clear() {
    sorted_.clear();
    added_.clear();
    dropped_ = 0;
}

QStringList FolderOrder::Below(const QString& below, const Held& held) {
    if (!added_.empty() || dropped_ > 0)
        Sort(held);
    QStringList found;
    for (auto it = std::lower_bound(sorted_.begin(), sorted_.end(), below);
         it != sorted_.end() && it->startsWith(below); ++it)
        found.append(*it);
    return found;
}

void FolderOrder::Sort(const Held& held) {
    std::sort(added_.begin(), added_.end());
    std::vector<QString> all;
    all.reserve(sorted_.size() + added_.size());
    std::merge(std::make_move_iterator(sorted_.begin()), std::make_move_iterator(sorted_.end()),
               std::make_move_iterator(added_.begin()), std::make_move_iterator(added_.end()),
               std::back_inserter(all));
    // A folder dropped and taken in again since the last sort is there twice.
    all.erase(std::unique(all.begin(), all.end()), all.end());
    std::erase_if(all, [&](const QString& folder) { return !held(folder); });
    sorted_ = std::move(all);
    added_.clear();
    dropped_ = 0;
}

} // namespace qv
