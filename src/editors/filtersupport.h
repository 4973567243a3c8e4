// What the Available lists of every list editor share: the registry memory of a filter panel
// (its mask values and the histories of its text filters), the route nodes the Used in Route
// text names and the marks on the records those routes use, and the where-used analysis of the
// files a rebuild could not read.
#pragma once

#include "core/itemset.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace qv {

class ItemNode;
class StringList;

// The history sub-key "<filtersKey>\<name>" of a text filter (below the product key).
QString FilterHistoryKey(const QString& filtersKey, const QString& name);
// A number stored as text under the filters' key, 0 when missing or not a number.
std::uint32_t ReadFilterValue(const QString& filtersKey, const QString& name);
// The remembered status choice, 2 when none.
int ReadFilterStatusIndex(const QString& filtersKey);
void WriteFilterValue(const QString& filtersKey, const QString& name, qint64 value);
// The history of a text filter, with a blank item below it when asked.
QStringList FilterHistoryItems(const QString& filtersKey, const QString& name, bool blank);
// The text a filter shows after a refresh: the newest history entry while its mask exists.
QString FirstItemWhen(bool mask, const QStringList& items);

// The route nodes the Used in Route text names: for "MSTS Default Routes" the first route of each
// default route folder present, else the first route of that name.
std::vector<ItemNode*> ChosenRouteNodes(const std::vector<ItemNode*>& routes, const QString& text);

// Sets the used-in-route mark on the records of `items` that the routes named by `routeText`
// use (their consists, or with `stock` their engines and wagons); an empty text clears every
// mark.
void MarkRouteItems(RecordList<ItemSet>& items, const std::vector<ItemNode*>& routes,
                    const QString& routeText, bool stock);

// Analyses the files a rebuild could not read into the main information pane, under the error
// heading, unless the user turned the where-used analysis off.
void AnalyseUnreadableFiles(const StringList& unreadable);

} // namespace qv
