// What the Available lists of every list editor share: the registry memory of a filter panel
// (its mask values and the histories of its text filters), the route nodes the Used in Route
// text names and the marks on the records those routes use, and the where-used analysis of the
// files a rebuild could not read.
#pragma once

#include "core/itemset.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>
#include <utility>
#include <vector>

namespace qv {

class ItemNode;
class ListBoxView;
class StringList;
struct ListEditorModel;

// The histories' length.
constexpr int kFilterHistoryMaximum = 15;

// Driveable choices: the tick, the cross, either.
constexpr int DRIVEABLE_TICK = 0;
constexpr int DRIVEABLE_CROSS = 1;
constexpr int DRIVEABLE_EITHER = 2;

// The bits the driveable choice adds to a filter's include and exclude masks.
std::uint32_t DriveableInclude(int driveableIndex);
std::uint32_t DriveableExclude(int driveableIndex);

// The history sub-key "<filtersKey>\<name>" of a text filter (below the product key).
QString FilterHistoryKey(const QString& filtersKey, const QString& name);
// What a filter panel remembers: its masks, the driveable choice they make and the status choice.
struct StoredFilters {
    std::uint32_t Include = 0;
    std::uint32_t Exclude = 0;
    int DriveableIndex = DRIVEABLE_EITHER;
    int StoreIndIndex = 2;
};
StoredFilters ReadStoredFilters(const QString& filtersKey);
// The tags of `tags` that `include` holds.
std::uint32_t TagsIn(std::uint32_t include, std::span<const std::uint32_t> tags);
// Remembers a filter panel: its include and exclude masks, each text filter's text (by history
// name) at the top of its history, and the status choice.
void RememberFilterPanel(const QString& filtersKey, std::uint32_t include, std::uint32_t exclude,
                         std::initializer_list<std::pair<QString, QString>> texts,
                         int storeIndIndex);
// The bits of the masks that were forced rather than chosen keep what was stored.
void KeepStoredBits(const QString& filtersKey, std::uint32_t kept, std::uint32_t& include,
                    std::uint32_t& exclude);
// The history of a text filter, with a blank item below it when asked.
QStringList FilterHistoryItems(const QString& filtersKey, const QString& name, bool blank);
// The text a filter shows after a refresh: the newest history entry while its mask exists.
QString FirstItemWhen(bool mask, const QStringList& items);

// The Used in Route items after the history: the default routes, then each route by name.
void AddRouteItems(QStringList& items, const std::vector<ItemNode*>& routes);

// Brings the store states of the list's records up to date when the list was rebuilt or the
// error list was written since.
void RenewStoreStates(RecordList<ItemSet>& list, std::uint32_t kind, bool stale);

// Fills the Available list with the records of the model's list that `passes` takes (it may also
// note what it sees), keeping each row's index in the list in the row map.
void ShowPassingRows(ListEditorModel& model, ListBoxView& available,
                     const std::function<bool(ItemSet& item)>& passes);

// Sets the used-in-route mark on the records of `items` that the routes named by `routeText`
// use (their consists, or with `stock` their engines and wagons); an empty text clears every
// mark.
void MarkRouteItems(RecordList<ItemSet>& items, const std::vector<ItemNode*>& routes,
                    const QString& routeText, bool stock);

// Analyses the files a rebuild could not read into the main information pane, under the error
// heading, unless the user turned the where-used analysis off.
void AnalyseUnreadableFiles(const StringList& unreadable);

} // namespace qv
