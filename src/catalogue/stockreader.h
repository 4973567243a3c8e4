// Reading one engine or wagon file into a StockInfo: its display name, the attribute bits that
// the consist reader classifies consists by, and the shape, freight animation and length that the
// 3-D viewer needs. The name and bits are kept per file in the stock cache ("CACHESTK.QVC"), so a
// file is parsed again only when its date has changed; the cache also hands out lot numbers.
#pragma once

#include "catalogue/mststext.h"
#include "catalogue/stockrecords.h"

#include <QString>

namespace qv {

class IniFile;

struct StoreIniHolder;
class ListedFileDates;
struct AheadFile;

// Scans an engine or wagon file: sets the fields and ors in the PType bits the file's lines give
// (the caller empties them first). baseName is compared with the Wagon and Engine block names.
void ParseStockText(MstsTextReader& reader, const QString& baseName, StockInfo& info);

// A fresh parse of a stock file's text (`fileName` as in the trainset folder): the name is the
// file name unless the file gives one, and the size is NaN unless the file gives one.
void ParseStockFileText(MstsTextReader& reader, const QString& fileName, StockInfo& parsed);

// The lot number that new cache sections receive: CurrentLotNumber, where an empty one counts as
// "0" (no lot handed out).
QString EffectiveLotNumber();
// Records lot as the last lot handed out ([QUARVEL_INFORMATION] LastLotNumber) in the stock
// cache, unless it is "0" or empty; true when it wrote.
bool AdvanceLastLotNumber(StoreIniHolder& stockCache, const QString& lot);

// The fields a cache section current for the date gives a stock file's reading: PType, Name and
// LotNumber; false (and nothing taken) when it is not current. Safe on several threads at once
// while nothing changes the ini.
bool TakeStockSection(const IniFile& ini, const QString& section, qint32 date, StockInfo& info);

// Reads <root>\TRAINS\TRAINSET\<item.FileName> into info, from its current cache section unless
// info.SkipCache is set, else from the file, whose results then go into the section when its date
// differs or ForceCacheReread is set. False when the file is missing or cannot be opened; nothing
// is reported. The caller opened stockCache and closes it.
// With `listed`, the dates the rebuild's listing found stand for asking the file system; with
// `ahead`, a file asked ahead from this root stands for asking it, and with `parsed` (the file
// read ahead) for its reading and parse, whose texts are then taken over.
bool ReadStockFile(const QString& root, const ItemSet& item, StockInfo& info,
                   StoreIniHolder& stockCache, const ListedFileDates* listed = nullptr,
                   const AheadFile* ahead = nullptr, StockInfo* parsed = nullptr);
// ReadStockFile from the store, else from the MSTS folder (the store is not asked when `ahead`
// found the file after it): the StoreInd the file earns there, SI_IN_STORE or SI_IN_USE, or -1
// when neither root has it.
std::int32_t ReadStockFromEitherRoot(const ItemSet& item, StockInfo& info,
                                     StoreIniHolder& stockCache,
                                     const ListedFileDates* listed = nullptr,
                                     const AheadFile* ahead = nullptr, StockInfo* parsed = nullptr);

} // namespace qv
