#include "engine/usedinindex.h"

#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/stringlist.h"

#include <algorithm>

namespace qv {

int CompareWhereUsedOrder(const UsedInInfo& a, const UsedInInfo& b) {
    if (const int c = CompareText(a.ItemText, b.ItemText))
        return c;
    if (a.Weight != b.Weight)
        return a.Weight < b.Weight ? -1 : 1;
    if (const int c = CompareText(a.ItemName, b.ItemName))
        return c;
    const auto kindA = std::int32_t(a.Kind);
    const auto kindB = std::int32_t(b.Kind);
    if (kindA != kindB)
        return kindA < kindB ? -1 : 1;
    if (const int c = CompareText(a.Text2, b.Text2))
        return c;
    return App().ViewByFileName ? CompareText(a.Text3, b.Text3) : CompareText(a.Text1, b.Text1);
}

void SortWhereUsedResults(UsedInList& results) {
    std::stable_sort(results.begin(), results.end(), [](const auto& a, const auto& b) {
        return CompareWhereUsedOrder(*a, *b) < 0;
    });
}

void UsedInSearchList::AddItem(const QString& name) {
    AddFound(name, name);
}

void UsedInSearchList::AddFound(const QString& itemName, const QString& itemText) {
    auto record = std::make_unique<UsedInInfo>();
    record->ItemName = itemName;
    record->ItemText = itemText;
    records_.push_back(std::move(record));
}

void UsedInSearchList::Clear() {
    ClearTypedList(RK_USED_IN, records_);
    order_.clear();
}

void UsedInSearchList::UpdateIndex() const {
    const std::size_t indexed = order_.size();
    if (indexed == records_.size())
        return;
    const auto less = [this](int a, int b) {
        return CompareText(records_[std::size_t(a)]->ItemName, records_[std::size_t(b)]->ItemName) <
               0;
    };
    // The records appended since the last look-up are sorted on their own and merged in: every
    // one of them lies behind the indexed ones, so equal names stay in list order.
    for (std::size_t i = indexed; i < records_.size(); ++i)
        order_.push_back(int(i));
    const auto middle = order_.begin() + std::ptrdiff_t(indexed);
    std::stable_sort(middle, order_.end(), less);
    std::inplace_merge(order_.begin(), middle, order_.end(), less);
}

std::vector<int> UsedInSearchList::Match(const QString& name) const {
    UpdateIndex();
    const auto first =
        std::lower_bound(order_.begin(), order_.end(), name, [this](int a, const QString& n) {
            return CompareText(records_[std::size_t(a)]->ItemName, n) < 0;
        });
    std::vector<int> found;
    for (auto it = first;
         it != order_.end() && CompareText(records_[std::size_t(*it)]->ItemName, name) == 0; ++it)
        found.push_back(*it);
    return found;
}

std::vector<int> UsedInSearchList::MatchAny(const StringList& names) const {
    std::vector<int> found;
    if (IsEmpty())
        return found;
    for (int i = 0; i < names.Count(); ++i) {
        const std::vector<int> places = Match(names[i]);
        found.insert(found.end(), places.begin(), places.end());
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

} // namespace qv
