#include "catalogue/cacherebuild.h"

#include "catalogue/consistreader.h"
#include "catalogue/itemfiles.h"
#include "catalogue/listeddates.h"
#include "catalogue/listrefresh.h"
#include "catalogue/pathreader.h"
#include "catalogue/readahead.h"
#include "catalogue/rebuildlistings.h"
#include "catalogue/stockreader.h"
#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/mainservices.h"
#include "core/report.h"
#include "core/status.h"
#include "core/storeini.h"
#include "core/stringlist.h"
#include "platform/terminate.h"
#include "platform/winfind.h"
#include "platform/winresolve.h"
#include "platform/workers.h"

#include <algorithm>

namespace qv {

namespace {

const QString kStockCache = QStringLiteral("CACHESTK.QVC");
const QString kConsistCache = QStringLiteral("CACHECON.QVC");
const QString kPathCache = QStringLiteral("CACHEPAT.QVC");
const QString kTrainsetFolder = QStringLiteral("TRAINS\\TRAINSET");
const QString kConsistsFolder = QStringLiteral("TRAINS\\CONSISTS");

// Where an empty stock list id has always been reported from; support texts refer to it.
constexpr const char* kListProcessModule = "ListProcess";
constexpr int kEmptyStockListIdLine = 3354;

// The StoreInd of an item found in neither root.
constexpr std::int32_t kNotFound = -1;

ReportPane* InformationPane() {
    return TheMainServices().InformationMemo();
}

QString NotFoundText(Msg kind) {
    return Caption(kind) + u' ' + Caption(Msg::GENERAL_NOT_FOUND0);
}

// Adds the record of a file found current ahead, which needs no reading: it takes over what was
// taken from the section, the file's name included, which the thread that looked the file up
// holds counted already (counting it again on this thread, right after that one looked at it,
// costs more than all the rest of the record).
void AddFoundAhead(RecordList<ItemSet>& result, std::unique_ptr<ItemSet> item,
                   const AheadFile& ahead, std::uint32_t ptype, QString&& fileName,
                   QString&& description, QString&& engineName, QString&& lotNumber) {
    PumpMessagesIfBusy();
    item->FileName = std::move(fileName);
    item->StoreInd = ahead.root == App().StoreRootFolder ? SI_IN_STORE : SI_IN_USE;
    item->PType = ptype;
    item->Description = std::move(description);
    item->EngineName = std::move(engineName);
    item->LotNumber = std::move(lotNumber);
    result.push_back(std::move(item));
}

void ReportMissingStock(const ItemSet& item, StringList* missing) {
    Report(RL_ERROR, &item, NotFoundText(Msg::TYPE_STOCK_ITEM_LEG), InformationPane());
    if (missing)
        missing->Add(item.FileName);
}

// The working records at PLevel 3, the level the rebuilds' callers show them at. The working
// list is dropped right after, so its records move over rather than being copied.
void MoveToResult(RecordList<ItemSet>& working, RecordList<ItemSet>& result) {
    result.reserve(result.size() + working.size());
    for (auto& record : working) {
        record->PLevel = 3;
        result.push_back(std::move(record));
    }
    working.clear();
}

// Reads the vehicles that consists named while the stock cache lacked them into the stock cache,
// and empties the queue; the consists are then read again by the caller.
void CacheQueuedStock(StoreIniHolder& stockCache, StringList* missing) {
    ItemSet item;
    item.Folder = kTrainsetFolder;
    StockInfo info;
    info.SkipCache = true;
    const StringList queued = App().UncachedStockList;
    for (int i = 0; i < queued.Count(); ++i) {
        item.FileName = queued[i];
        if (ReadStockFromEitherRoot(item, info, stockCache) == kNotFound)
            ReportMissingStock(item, missing);
    }
    App().UncachedStockList.Clear();
}

// The names of the consist files a loop found: the second consist pass reads only those, so that
// a file missing from both roots is reported once.
StringList FoundNames(const RecordList<ItemSet>& working) {
    StringList names = StringList::SortedUnique();
    for (const auto& record : working)
        names.Add(record->FileName);
    return names;
}

// Makes room in a cache for a new section for every file that was not found current ahead.
void MakeRoomForNewSections(IniFile& cache, const std::vector<AheadFile>& ahead, int names) {
    qsizetype fresh = ahead.empty() ? names : 0;
    for (const AheadFile& file : ahead)
        fresh += file.cached ? 0 : 1;
    cache.ReserveSections(fresh);
}

// An empty record for every file a loop goes through, made on the worker threads: tens of
// thousands of allocations on the thread that goes through the files cost it more than its own
// work for a file whose cache section is current.
std::vector<std::unique_ptr<ItemSet>> NewRecords(int count) {
    std::vector<std::unique_ptr<ItemSet>> records(std::size_t(std::max(count, 0)));
    constexpr std::size_t kPerRun = 512;
    const std::size_t runs = (records.size() + kPerRun - 1) / kPerRun;
    ForEachOnWorkers(runs, 4, [&](std::size_t run) {
        const std::size_t end = std::min(records.size(), (run + 1) * kPerRun);
        for (std::size_t i = run * kPerRun; i < end; ++i)
            records[i] = std::make_unique<ItemSet>();
    });
    return records;
}

void DropEmptyPlaces(RecordList<ItemSet>& list) {
    list.erase(std::remove(list.begin(), list.end(), nullptr), list.end());
}

} // namespace

bool RebuildStockCache(RecordList<ItemSet>& result, bool skip, StringList* missing) {
    StatusGuard status(QStringLiteral("FSTK"));
    const ThrottledReadStatus throttled;
    StringList files;
    ListedFileDates listed;
    ListRebuildFiles(RebuildKind::Stock, files, listed);
    RecordList<ItemSet> working;
    auto stockCache = OpenStoreIni(kStockCache);
    PruneIniSections(files, *stockCache);
    ReadStockFiles(working, files, *stockCache, skip, missing, &listed);
    CloseStoreIni(std::move(stockCache));
    MoveToResult(working, result);
    return true;
}

bool RebuildConsistCache(RecordList<ItemSet>& result, bool skip, StringList* missing) {
    StatusGuard status(QStringLiteral("CONS"));
    const ThrottledReadStatus throttled;
    StringList files;
    ListedFileDates listed;
    ListRebuildFiles(RebuildKind::Consists, files, listed);
    RecordList<ItemSet> working;
    auto consistCache = OpenStoreIni(kConsistCache);
    PruneIniSections(files, *consistCache);
    auto stockCache = OpenStoreIni(kStockCache);
    ReadConsistFiles(working, files, *consistCache, *stockCache, skip, missing, &listed);
    if (!App().UncachedStockList.IsEmpty()) {
        CacheQueuedStock(*stockCache, missing);
        const StringList found = FoundNames(working);
        ClearTypedList(RK_ITEMSET, working);
        ReadConsistFiles(working, found, *consistCache, *stockCache, skip, missing);
    }
    CloseStoreIni(std::move(consistCache));
    CloseStoreIni(std::move(stockCache));
    MoveToResult(working, result);
    return true;
}

bool RebuildPathCache(RecordList<ItemSet>& result, bool skip, StringList* missing) {
    StatusGuard status(QStringLiteral("PATH"));
    const ThrottledReadStatus throttled;
    StringList files;
    ListedFileDates listed;
    ListRebuildFiles(RebuildKind::Paths, files, listed);
    auto pathCache = OpenStoreIni(kPathCache);
    PruneIniSections(files, *pathCache);
    ReadPathFiles(result, files, *pathCache, skip, missing, &listed);
    CloseStoreIni(std::move(pathCache));
    return true;
}

bool ReadStockFiles(RecordList<ItemSet>& result, const StringList& names,
                    StoreIniHolder& stockCache, bool skip, StringList* missing,
                    const ListedFileDates* listed) {
    bool allFound = true;
    StockInfo info;
    info.SkipCache = skip;
    std::vector<StockInfo> parsed;
    const std::vector<AheadFile> ahead = ParseFilesAhead(
        names, stockCache.Ini, skip, listed, kTrainsetBase, parsed,
        [&](std::size_t i, MstsTextReader& reader, StockInfo& stock) {
            ParseStockFileText(reader, names[int(i)], stock);
        },
        [&](std::size_t i, qint32 date, StockInfo& stock) {
            if (!TakeStockSection(stockCache.Ini, names[int(i)], date, stock))
                return false;
            stock.FileName = names[int(i)];
            return true;
        });
    MakeRoomForNewSections(stockCache.Ini, ahead, names.Count());
    std::vector<std::unique_ptr<ItemSet>> records = NewRecords(names.Count());
    for (int i = 0; i < names.Count(); ++i) {
        std::unique_ptr<ItemSet> item = std::move(records[std::size_t(i)]);
        item->PLevel = 2;
        item->Folder = kTrainsetFolder;
        const AheadFile* readAhead = ahead.empty() ? nullptr : &ahead[std::size_t(i)];
        if (readAhead && readAhead->cached) {
            StockInfo& taken = parsed[std::size_t(i)];
            AddFoundAhead(result, std::move(item), *readAhead, taken.PType,
                          std::move(taken.FileName), std::move(taken.Name), QString(),
                          std::move(taken.LotNumber));
            continue;
        }
        item->FileName = names[i];
        item->StoreInd = ReadStockFromEitherRoot(*item, info, stockCache, listed, readAhead,
                                                 readAhead ? &parsed[std::size_t(i)] : nullptr);
        if (item->StoreInd == kNotFound) {
            ReportMissingStock(*item, missing);
            allFound = false;
            continue;
        }
        item->PType = info.PType;
        item->Description = std::move(info.Name);
        item->LotNumber = std::move(info.LotNumber);
        result.push_back(std::move(item));
    }
    SortItemList(result);
    return allFound;
}

bool ReadConsistFiles(RecordList<ItemSet>& result, const StringList& names,
                      StoreIniHolder& consistCache, StoreIniHolder& stockCache, bool skip,
                      StringList* missing, const ListedFileDates* listed) {
    bool allFound = true;
    ConsistInfo info;
    info.SkipCache = skip;
    // The stock cache is only read while the consists are parsed ahead.
    std::vector<ConsistAhead> parsed;
    const std::vector<AheadFile> ahead = ParseFilesAhead(
        names, consistCache.Ini, skip, listed, kConsistsBase, parsed,
        [&](std::size_t i, MstsTextReader& reader, ConsistAhead& consist) {
            ParseConsistAhead(reader, names[int(i)], stockCache.Ini, consist);
        },
        [&](std::size_t i, qint32 date, ConsistAhead& consist) {
            if (!TakeConsistSection(consistCache.Ini, names[int(i)], date, consist.info))
                return false;
            consist.info.FileName = names[int(i)];
            return true;
        });
    AskLeadEngines(parsed, RunStockListing());
    MakeRoomForNewSections(consistCache.Ini, ahead, names.Count());
    std::vector<std::unique_ptr<ItemSet>> records = NewRecords(names.Count());
    for (int i = 0; i < names.Count(); ++i) {
        std::unique_ptr<ItemSet> item = std::move(records[std::size_t(i)]);
        item->PLevel = 2;
        item->PType = PT_CONSIST;
        item->StoreInd = kNotFound;
        item->Folder = kConsistsFolder;
        const AheadFile* readAhead = ahead.empty() ? nullptr : &ahead[std::size_t(i)];
        ConsistAhead* parsedAhead = readAhead ? &parsed[std::size_t(i)] : nullptr;
        if (readAhead && readAhead->cached) {
            ConsistInfo& taken = parsedAhead->info;
            AddFoundAhead(result, std::move(item), *readAhead, taken.PType,
                          std::move(taken.FileName), std::move(taken.Description),
                          std::move(taken.EngineName), std::move(taken.LotNumber));
            continue;
        }
        item->FileName = names[i];
        if (!FoundAfterTheStore(readAhead) &&
            ReadConsistFile(App().StoreRootFolder, *item, info, consistCache, stockCache, nullptr,
                            listed, readAhead, parsedAhead))
            item->StoreInd = SI_IN_STORE;
        else if (ReadConsistFile(App().MstsRootFolder, *item, info, consistCache, stockCache,
                                 nullptr, listed, readAhead, parsedAhead))
            item->StoreInd = SI_IN_USE;
        if (item->StoreInd == kNotFound) {
            Report(RL_ERROR, item.get(), NotFoundText(Msg::TYPE_CONSIST_LEG), InformationPane());
            if (missing)
                missing->Add(names[i]);
            allFound = false;
            continue;
        }
        item->PType = info.PType;
        item->Description = std::move(info.Description);
        item->EngineName = std::move(info.EngineName);
        item->LotNumber = std::move(info.LotNumber);
        result.push_back(std::move(item));
    }
    SortItemList(result);
    return allFound;
}

bool ReadPathFiles(RecordList<ItemSet>& result, const StringList& names, StoreIniHolder& pathCache,
                   bool /*skip*/, StringList* missing, const ListedFileDates* listed) {
    bool allFound = true;
    PathInfo path;
    std::vector<PathInfo> parsed;
    const std::vector<AheadFile> ahead = ParseFilesAhead(
        names, pathCache.Ini, false, listed, QLatin1StringView("\\"), parsed,
        [&](std::size_t i, MstsTextReader& reader, PathInfo& scanned) {
            scanned.FileName = LastPathComponent(names[int(i)]);
            ScanPathText(reader, scanned);
        },
        [&](std::size_t i, qint32 date, PathInfo& cached) {
            if (!TakePathSection(pathCache.Ini, names[int(i)], date, cached))
                return false;
            cached.FileName = LastPathComponent(names[int(i)]);
            return true;
        });
    MakeRoomForNewSections(pathCache.Ini, ahead, names.Count());
    std::vector<std::unique_ptr<ItemSet>> records = NewRecords(names.Count());
    for (int i = 0; i < names.Count(); ++i) {
        const QString& entry = names[i];
        const AheadFile* readAhead = ahead.empty() ? nullptr : &ahead[std::size_t(i)];
        PathInfo* parsedAhead = readAhead ? &parsed[std::size_t(i)] : nullptr;
        const qsizetype cut = entry.lastIndexOf(u'\\');
        std::unique_ptr<ItemSet> item = std::move(records[std::size_t(i)]);
        item->PLevel = 2;
        item->StoreInd = kNotFound;
        // The paths of a route come one after another: their records share one folder text.
        const QStringView folder = QStringView(entry).left(std::max<qsizetype>(cut, 0));
        if (path.Folder != folder)
            path.Folder = folder.toString();
        item->Folder = path.Folder;
        if (readAhead && readAhead->cached) {
            PathInfo& taken = *parsedAhead;
            AddFoundAhead(result, std::move(item), *readAhead, taken.PType,
                          std::move(taken.FileName), std::move(taken.Name),
                          std::move(taken.PathStart), std::move(taken.PathEnd));
            continue;
        }
        item->FileName = entry.mid(cut + 1);
        item->Description = item->FileName;
        path.FileName = item->FileName;
        if (!FoundAfterTheStore(readAhead) &&
            ReadPathFile(App().StoreRootFolder, path, pathCache, listed, readAhead, parsedAhead))
            item->StoreInd = SI_IN_STORE;
        else if (ReadPathFile(App().MstsRootFolder, path, pathCache, listed, readAhead,
                              parsedAhead))
            item->StoreInd = SI_IN_USE;
        if (item->StoreInd == kNotFound) {
            Report(RL_ERROR, nullptr,
                   NotFoundText(Msg::TYPE_PATH_LEG) + Caption(Msg::GENERAL_NOT_FOUND2) +
                       item->Folder + u'\'' + Caption(Msg::GENERAL_NOT_FOUND3) + item->FileName +
                       u'\'',
                   InformationPane());
            if (missing)
                missing->Add(item->Folder + u'\\' + item->FileName);
            allFound = false;
            continue;
        }
        item->PType = path.PType;
        item->Description = std::move(path.Name);
        item->EngineName = std::move(path.PathStart);
        item->LotNumber = std::move(path.PathEnd);
        result.push_back(std::move(item));
    }
    SortItemList(result);
    return allFound;
}

bool RefreshStockList(RecordList<ItemSet>& members, const QString& folder, const QString& listId,
                      StringList* notFound, bool append, bool firstOnly, StoreIniHolder& stockCache,
                      std::uint32_t kind) {
    bool allFound = true;
    const std::size_t first = append ? members.size() : 0;
    StockInfo info;
    if (listId.isEmpty()) {
        Report(RL_ERROR, nullptr, UnexpectedText(kListProcessModule, kEmptyStockListIdLine),
               nullptr);
        TerminateProgram(1);
        return false;
    }
    ReadItemListFile(members, ItemDataFolder(folder) + listId, 3, firstOnly, folder);
    SetFirstOnlyMark(members, first, firstOnly);

    for (std::size_t i = first; i < members.size(); ++i) {
        if (!members[i])
            continue;
        ItemSet& member = *members[i];
        member.StoreInd = kNotFound;
        if (member.Folder != folder || !(member.PType & kind)) {
            members[i].reset();
            continue;
        }
        member.StoreInd = ReadStockFromEitherRoot(member, info, stockCache);
        if (member.StoreInd == kNotFound) {
            if (notFound)
                ReportMissingStock(member, notFound);
            allFound = false;
            continue;
        }
        member.Description = info.Name;
        member.PType |= info.PType;
        SetStatusDetail(Caption(Msg::STATUS_TEXT_LOADING) + u' ' + ItemKindName(kind) +
                        QStringLiteral(" '") + info.Name + u'\'');
    }
    DropEmptyPlaces(members);
    SortItemList(members);
    return allFound;
}

} // namespace qv
