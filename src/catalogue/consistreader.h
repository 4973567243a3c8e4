// Reading one consist file into a ConsistInfo: its name, leading engine and the attribute bits
// that classify it (light engine, freight, passenger, traction, driveable). The vehicle files are
// never opened: their bits come from the stock cache ("CACHESTK.QVC"), and vehicles not yet there
// are queued in UncachedStockList for the consist cache rebuild. Results are kept per file in the
// consist cache ("CACHECON.QVC").
#pragma once

#include "catalogue/readahead.h"
#include "catalogue/stockrecords.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace qv {

class StringList;
class IniFile;
class MstsTextReader;
struct StoreIniHolder;
class ListedFileDates;
class ListedOnDemand;

// The stock path "<folder>\<file>.ENG" (engine) or ".WAG" named by the value of an EngineData or
// WagonData line: the file name first, then the stock folder, either quoted when it holds blanks.
// A value with no blank gives an empty file name and the whole value as folder. Shows "Found
// Stock" with the file name in the status bar.
QString StockDataPath(const QString& value, bool engine);
// StockDataPath without the status text: for a worker thread.
QString StockPath(const QString& value, bool engine);

// A consist parsed ahead of the reading loop on a worker thread: the fields the parse sets
// (PType, Description, TrainCfgName, EngineName, LeadEngine), the stock paths of its vehicles
// that the stock cache lacked, in file order, which the loop queues, and for a driveable consist
// its leading engine's file as the lead-engine check asks for it (no root when in neither), once
// AskLeadEngines asked for it; when parsed with them, the stock paths of all its vehicles in file
// order.
struct ConsistAhead {
    ConsistInfo info;
    QStringList uncached;
    AheadFile leadEngine;
    bool withVehicles = false;
    QStringList vehicles;
};

// Parses the text of a consist (`fileName` as in the consists folder) for the reading loop,
// against a stock cache that nothing changes meanwhile; safe on several threads at once. With
// `withVehicles` the stock paths of its vehicles are kept too.
void ParseConsistAhead(MstsTextReader& reader, const QString& fileName, const IniFile& stockCache,
                       ConsistAhead& parsed, bool withVehicles = false);
// Asks the file system for the leading engine of every driveable consist parsed ahead, the store
// first and then the MSTS folder, as the lead-engine check would; an engine that leads several
// consists is asked for once. A root whose part of the stock listing (when given) tells that it
// lacks the engine is not asked, and one that lists it is asked by the listing's host path. On
// the calling thread: the path layer serves one thread at a time.
void AskLeadEngines(std::vector<ConsistAhead>& parsed, const ListedFileDates* stock = nullptr);

// The fields a cache section current for the date gives a consist's reading: PType, Description,
// EngineName and LotNumber; false (and nothing taken) when it is not current. Safe on several
// threads at once while nothing changes the ini.
bool TakeConsistSection(const IniFile& ini, const QString& section, qint32 date, ConsistInfo& info);

// Reads <root>\TRAINS\CONSISTS\<item.FileName> into info: from its current cache section when
// info.SkipCache is clear and no vehicles list is given, else from the file, whose results then go
// into the consist cache when the section's date differs, the lead-engine check asks for it or
// ForceCacheReread is set. vehicles (or none) receives the stock path of every vehicle in file
// order. False when the file is missing or cannot be opened; nothing is reported. The caller
// opened both caches and closes them. With `listed`, the dates the rebuild's listing found stand
// for asking the file system; with `ahead` and `parsed` (and no vehicles list), a file read and
// parsed ahead from this root stands for reading and parsing it, whose texts are then taken over
// (with a vehicles list only when the parse kept them).
// `stockDates` (when given) finds the leading engine in its folder's listing (see CheckLeadEngine).
bool ReadConsistFile(const QString& root, const ItemSet& item, ConsistInfo& info,
                     StoreIniHolder& consistCache, StoreIniHolder& stockCache, StringList* vehicles,
                     const ListedFileDates* listed = nullptr, const AheadFile* ahead = nullptr,
                     ConsistAhead* parsed = nullptr, ListedOnDemand* stockDates = nullptr);

} // namespace qv
