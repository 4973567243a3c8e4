// Reading routes: a route is a folder Routes\<route folder> of the MSTS folder or the store that
// holds a route file (".trk"), read directly every time (routes have no cache). Gives the route
// record, the version text of a route's Comment line, and the route items of the tree list.
#pragma once

#include "catalogue/pathrecords.h"
#include "core/itemset.h"

#include <QString>

namespace qv {

// Reads <root>\<folder>\<file> into info: true when the file was opened and read to its end, false
// when it cannot be opened. Name starts as the last component of folder; the TSECTION texts and
// actions and the Comment are cleared.
bool ReadRouteFile(const QString& root, const QString& folder, const QString& file,
                   RouteInfo& info);

// The value in the parentheses after "Version" or "LanguageID" at the start of text, when that
// word is keyword (both without regard to case); otherwise empty.
QString ReadRouteSubValue(const QString& keyword, const QString& text);

// Appends one item per readable route of the MSTS folder and the store, in folder order; a route
// read from the MSTS folder is In Use, one read from the store In Store. A route whose file cannot
// be found or read is reported as an error and left out.
void ReadRouteItems(RecordList<ItemSet>& items);

} // namespace qv
