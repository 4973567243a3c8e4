// The program's own small files about items: scenario files (a saved selection of routes,
// activities and global settings with their store marks), list files (the members of one named
// list, in the store's QVDATA folder) and the record of a route's last generated Explore activity
// in its ROUTE.QVC. Every write replaces its file atomically and tells whether it succeeded.
#pragma once

#include "catalogue/pathrecords.h"
#include "core/itemset.h"

#include <QString>
#include <cstdint>

namespace qv {

class ItemTree;

// What callers pass as the scenario file when there is none: the empty text, so that a file name
// left empty and the marker mean the same.
inline const QString kNoScenarioFile;

// The copy of a list file's old content that a commit keeps beside the list until it is done:
// hidden, under a name of the program's own, so that no file of the user's is taken for it.
QString ListFileCopyName(const QString& fileName);
// Settles what a commit cut short left beside a list file: the copy is taken back when the list
// file is missing, and removed when the list file is whole. Reading and writing a list do it.
void SettleListFileCopy(const QString& fileName);

// Appends one record per member of a list file: PLevel `level`, PType from the file (default -1),
// StoreInd SI_PLACE_UNKNOWN, Folder `folder`, FileName the member's section name. With `firstOnly`
// only the first member is read and PT_FIRST_ONLY is set on it. False when the file is missing
// (silently) or its version is refused (reported).
bool ReadItemListFile(RecordList<ItemSet>& list, const QString& fileName, int level, bool firstOnly,
                      const QString& folder);

// Appends to `list` the records of a scenario file, or copies of those of `source` when it is
// given. With an empty `folderPrefix` every record is taken; otherwise only those whose Folder is
// the prefix (without regard to case) and whose PType shares a bit with `includeMask` and none
// with `excludeMask`; a mask with every bit set (0xFFFFFFFF) switches its test off. Section names
// are not looked at, so files of every version read alike. From a file, `firstOnly` stops after
// the first record taken and sets PT_FIRST_ONLY on it. False when the file is missing or its
// version is refused (reported).
bool ReadScenarioFile(RecordList<ItemSet>& list, const QString& fileName,
                      const RecordList<ItemSet>* source, bool firstOnly, std::uint32_t excludeMask,
                      std::uint32_t includeMask, const QString& folderPrefix);

// Writes the records as a scenario file, replacing all it held. False, after a stop box naming
// the file, when it could not be written; the old file then stays as it was.
bool WriteScenarioFile(const RecordList<ItemSet>& list, const QString& fileName);

// Writes the members of a named list as the list file `ItemDataFolder(folder) + listId`; a list
// without members deletes the file. False when an existing file's version is refused (nothing is
// written then) or the file could not be read, written or deleted (each reported).
bool WriteItemListFile(const QString& folder, const QString& listId,
                       const RecordList<ItemSet>& list);
// What WriteItemListFile would write into the list file `fileName` (a full path): empty for a
// list without members, which has no file. `exists` tells whether the file is there now. False
// when an existing file's version is refused or the file cannot be read (each reported).
bool ItemListFileContent(const QString& fileName, const RecordList<ItemSet>& list,
                         QByteArray* content, bool* exists);

// Collects the global-setting, route and activity nodes of the tree in tree order: copies them
// into `out` when given and writes them as a scenario file when `fileName` is not empty. The
// result is the write's success, true when nothing was to be written.
bool SaveScenario(const ItemTree& tree, const QString& fileName, RecordList<ItemSet>* out);

// Fills the route's ExploreFileName and ExploreSetupDate from its ROUTE.QVC (empty and -1 when
// the route never had an Explore activity).
void ReadExploreActivitySetup(RouteInfo& route);
// Records the route's ExploreFileName with the present moment as its set-up date (also put into
// ExploreSetupDate) in its ROUTE.QVC; false when the file could not be written (reported).
bool WriteExploreActivitySetup(RouteInfo& route);

} // namespace qv
