// The records of the where-used analysis (one searched item, one user found, or one item's header),
// their report order, and the searched-item lists that find their records by name. A search reads
// each user (a consist, service, activity or list member) once and looks the names it uses up in
// the searched list, instead of comparing every user with every searched item, so that an analysis
// of the whole installation grows with its size and not with the square of it.
#pragma once

#include "core/itemset.h"
#include "platform/casefold.h"

#include <QHash>
#include <QString>
#include <cstdint>
#include <vector>

namespace qv {

class StringList;

// One searched item, one hit (a user of a searched item) or one item header.
struct UsedInInfo {
    std::uint32_t Kind = 0;  // PType kind bit of the user found; 0 for searched items and headers
    std::int32_t Weight = 0; // report group of a hit (UW_...); 0 for searched items and headers
    QString Text1;           // the user's name
    QString Text2;           // the user's folder
    QString Text3;           // the user's file name
    QString ItemName;        // the item through which the user was found
    QString ItemText;        // the item the user asked about
};

template <> struct RecordKind<UsedInInfo> { static constexpr int code = RK_USED_IN; };

using UsedInList = RecordList<UsedInInfo>;

// Weights of the hits: the order of the user groups under an item in the report.
constexpr std::int32_t UW_EXPLORE_PATH_LIST = 10;
constexpr std::int32_t UW_MAINT_STOCK_LIST = 20;
constexpr std::int32_t UW_MAINT_CONSIST_LIST = 30;
constexpr std::int32_t UW_EXPLORE_CONSIST_LIST = 40;
constexpr std::int32_t UW_CONSIST = 50;
constexpr std::int32_t UW_SERVICE = 60;
constexpr std::int32_t UW_ACTIVITY = 70;

// The where-used order: item text, weight (smaller first), item name, kind (as a signed value),
// second text, then the first text, or the third with "View by File Name". Texts through
// CompareText.
int CompareWhereUsedOrder(const UsedInInfo& a, const UsedInInfo& b);
// Sorts results in the where-used order. Equal records keep the order in which they were found,
// so the same analysis always gives the same report. Each distinct item text is ranked once, so
// that the records of tens of thousands of items are not told apart by comparing their texts.
void SortWhereUsedResults(UsedInList& results);

// The searched records of one kind of item, with an index by ItemName. Records are only ever
// appended (a search appends the users it finds as new items to search); the index takes them in
// when it is next asked.
class UsedInSearchList {
public:
    // Appends a searched record for an item asked about (ItemName = ItemText = name).
    void AddItem(const QString& name);
    // Appends a searched record for an item found on the way on behalf of itemText.
    void AddFound(const QString& itemName, const QString& itemText);

    int Count() const { return int(records_.size()); }
    bool IsEmpty() const { return records_.empty(); }
    const UsedInInfo& operator[](int index) const { return *records_[std::size_t(index)]; }
    // Frees every record.
    void Clear();

    // The places of the records whose ItemName equals the name (CompareText), ascending.
    std::vector<int> Match(const QString& name) const;
    // The places of the records whose ItemName equals any entry of names, ascending, each once:
    // exactly the records that a walk over this list asking names for each ItemName would take.
    std::vector<int> MatchAny(const StringList& names) const;

private:
    void UpdateIndex() const;
    void UpdateFolded() const;

    UsedInList records_;
    // Places of records_ sorted by ItemName; equal names in list order.
    mutable std::vector<int> order_;
    // Where CompareText's equality is that of the folded names: the places of records_ by their
    // folded ItemName, ascending. A hash spares the binary searches' comparisons of names that
    // lie far apart in memory. How many records it holds.
    mutable QHash<FoldedName, std::vector<int>> byFolded_;
    mutable std::size_t folded_ = 0;
};

} // namespace qv
