// The cache rebuilds: listing every engine and wagon, consist and path of both roots, dropping the
// cache sections of files that are gone, reading every file (from its cache section while that is
// current) and filling a list of item records; the per-file loops behind them; and the refresh of
// a user's stock list. A rebuild whose caches are all current opens no MSTS file.
#pragma once

#include "core/itemset.h"

#include <QString>
#include <cstdint>

namespace qv {

class ListedFileDates;

class StringList;
struct StoreIniHolder;

// Lists `<root>\TRAINS\TRAINSET\<folder>\*.WAG` and `*.ENG` of the store and the MSTS folder,
// prunes "CACHESTK.QVC" to them and appends one record per file found (PLevel 3) to `result`,
// which must be empty. `skip` reads every file even when its section is current; `missing` (or
// none) receives the files found in neither root. Always true.
bool RebuildStockCache(RecordList<ItemSet>& result, bool skip, StringList* missing);
// The same for `TRAINS\CONSISTS\*.CON` and "CACHECON.QVC". Vehicles that the consists name but
// the stock cache lacked (UncachedStockList) are read into the stock cache once and the consists
// read again; the list is emptied and holds afterwards only vehicles that are still missing.
bool RebuildConsistCache(RecordList<ItemSet>& result, bool skip, StringList* missing);
// The same for every route's path files and "CACHEPAT.QVC"; records keep PLevel 2, and the skip
// option has no effect. Always true.
bool RebuildPathCache(RecordList<ItemSet>& result, bool skip, StringList* missing);

// Reads each stock file of `names` (`<trainset folder>\<file>`), store first, and appends a record
// (PLevel 2, StoreInd 2 store or 1 MSTS) per file found; a file found in neither root is reported
// and added to `missing`. The list is sorted at the end. True when every file was found.
bool ReadStockFiles(RecordList<ItemSet>& result, const StringList& names,
                    StoreIniHolder& stockCache, bool skip, StringList* missing,
                    const ListedFileDates* listed = nullptr);
// The same for consist file names, with both caches.
bool ReadConsistFiles(RecordList<ItemSet>& result, const StringList& names,
                      StoreIniHolder& consistCache, StoreIniHolder& stockCache, bool skip,
                      StringList* missing, const ListedFileDates* listed = nullptr);
// The same for paths given as `Routes\<route folder>\PATHS\<file>`; the records carry the path's
// start in EngineName and its end in LotNumber. The skip option has no effect.
bool ReadPathFiles(RecordList<ItemSet>& result, const StringList& names, StoreIniHolder& pathCache,
                   bool skip, StringList* missing, const ListedFileDates* listed = nullptr);

// Reads the stock list file `<ItemDataFolder(folder)><listId>` into `members` (PLevel 3) and looks
// each member of the kind up again, store first: StoreInd 2 or 1 and the stock's name and bits, or
// StoreInd -1 when found in neither root (reported and added to `notFound` when that is given).
// Members of another folder or kind are dropped. With `append` only the members this call adds
// are refreshed; `firstOnly` reads the list's first member only. An empty list id is an internal
// error that ends the program. True when every refreshed member was found.
bool RefreshStockList(RecordList<ItemSet>& members, const QString& folder, const QString& listId,
                      StringList* notFound, bool append, bool firstOnly, StoreIniHolder& stockCache,
                      std::uint32_t kind);

} // namespace qv
