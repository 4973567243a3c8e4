#include "engine/usedinindex.h"

#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/stringlist.h"

#include <algorithm>

namespace qv {

namespace {

// The where-used order after the item text and the weight.
int CompareWithinItem(const UsedInInfo& a, const UsedInInfo& b, bool byFileName) {
    if (const int c = CompareText(a.ItemName, b.ItemName))
        return c;
    const auto kindA = std::int32_t(a.Kind);
    const auto kindB = std::int32_t(b.Kind);
    if (kindA != kindB)
        return kindA < kindB ? -1 : 1;
    if (const int c = CompareText(a.Text2, b.Text2))
        return c;
    return byFileName ? CompareText(a.Text3, b.Text3) : CompareText(a.Text1, b.Text1);
}

// The rank of each record's item text: texts CompareText finds equal share a rank, and ranks
// order as their texts do. Records of one item share their text's spelling, so the texts are
// few and each is compared only while they are sorted.
std::vector<int> ItemRanks(const UsedInList& results) {
    QHash<QString, int> placeOf;
    std::vector<const QString*> texts;
    std::vector<int> textOf(results.size());
    for (std::size_t i = 0; i < results.size(); ++i) {
        const QString& text = results[i]->ItemText;
        const auto found = placeOf.constFind(text);
        if (found != placeOf.constEnd()) {
            textOf[i] = *found;
            continue;
        }
        textOf[i] = int(texts.size());
        placeOf.insert(text, int(texts.size()));
        texts.push_back(&text);
    }
    std::vector<int> sorted(texts.size());
    for (std::size_t i = 0; i < sorted.size(); ++i)
        sorted[i] = int(i);
    // The analysis puts the items' headers first, in the items' sorted order, and its hits name
    // those items: the texts come in order already, which one comparison each tells.
    const auto below = [&texts](int a, int b) { return CompareText(*texts[a], *texts[b]) < 0; };
    if (!std::is_sorted(sorted.begin(), sorted.end(), below))
        std::stable_sort(sorted.begin(), sorted.end(), below);
    std::vector<int> rankOfText(texts.size());
    int rank = 0;
    for (std::size_t k = 0; k < sorted.size(); ++k) {
        if (k > 0 && CompareText(*texts[sorted[k - 1]], *texts[sorted[k]]) != 0)
            ++rank;
        rankOfText[std::size_t(sorted[k])] = rank;
    }
    std::vector<int> ranks(results.size());
    for (std::size_t i = 0; i < results.size(); ++i)
        ranks[i] = rankOfText[std::size_t(textOf[i])];
    return ranks;
}

} // namespace

int CompareWhereUsedOrder(const UsedInInfo& a, const UsedInInfo& b) {
    if (const int c = CompareText(a.ItemText, b.ItemText))
        return c;
    if (a.Weight != b.Weight)
        return a.Weight < b.Weight ? -1 : 1;
    return CompareWithinItem(a, b, App().ViewByFileName);
}

void SortWhereUsedResults(UsedInList& results) {
    struct Keyed {
        int rank;
        std::int32_t weight;
        std::size_t place;
    };
    const std::vector<int> ranks = ItemRanks(results);
    std::vector<Keyed> keyed(results.size());
    for (std::size_t i = 0; i < results.size(); ++i)
        keyed[i] = Keyed{ranks[i], results[i]->Weight, i};
    const bool byFileName = App().ViewByFileName;
    std::stable_sort(keyed.begin(), keyed.end(), [&](const Keyed& a, const Keyed& b) {
        if (a.rank != b.rank)
            return a.rank < b.rank;
        if (a.weight != b.weight)
            return a.weight < b.weight;
        return CompareWithinItem(*results[a.place], *results[b.place], byFileName) < 0;
    });
    UsedInList sorted;
    sorted.reserve(results.size());
    for (const Keyed& k : keyed)
        sorted.push_back(std::move(results[k.place]));
    results = std::move(sorted);
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
    byFolded_.clear();
    folded_ = 0;
}

void UsedInSearchList::UpdateFolded() const {
    for (; folded_ < records_.size(); ++folded_)
        byFolded_[FoldedName{records_[folded_]->ItemName}].push_back(int(folded_));
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
    if (CompareTextFoldsCase()) {
        UpdateFolded();
        const auto found = byFolded_.constFind(FoldedName{name});
        return found == byFolded_.constEnd() ? std::vector<int>() : *found;
    }
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
