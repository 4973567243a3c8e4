#include "catalogue/consistreader.h"

#include "catalogue/listeddates.h"
#include "catalogue/mststext.h"
#include "catalogue/readahead.h"
#include "catalogue/stockchecks.h"
#include "catalogue/stockreader.h"
#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/contentpath.h"
#include "core/generaldefs.h"
#include "core/regsettings.h"
#include "core/status.h"
#include "core/storeini.h"
#include "core/stringlist.h"
#include "platform/winfs.h"

#include <QHash>
#include <QStringBuilder>
#include <QStringList>

namespace qv {

namespace {

enum ConsistKeyword { kName, kEngineData, kWagonData, kTrainCfg };

const QStringList& ConsistKeywords() {
    static const QStringList table{QStringLiteral("Name"), QStringLiteral("EngineData"),
                                   QStringLiteral("WagonData"), QStringLiteral("TrainCfg")};
    return table;
}

// The FileDate of a section whose consist names a vehicle the stock cache lacks: it never equals
// a file's date, so the consist is parsed again once the vehicle has been cached.
constexpr qint32 kUncachedDate = 1;

const QString kTrainsetPrefix = QStringLiteral("TRAINS\\TRAINSET\\");

// The traction and driveable bits a consist gathers from its engines.
constexpr std::uint32_t kTractionBits = PT_STEAM | PT_DIESEL | PT_ELECTRIC | PT_DRIVEABLE;

// What the vehicles of one consist add up to while its lines are read.
struct Tally {
    bool hasEngine = false;
    bool hasWagon = false; // a wagon other than a tender
    int freight = 0;
    int passenger = 0;
    qint32 date = 0; // the FileDate to write
};

// StripQuotes of a part of a value.
QStringView WithoutQuotes(QStringView text) {
    return text.size() > 1 && text.startsWith(u'"') && text.endsWith(u'"')
               ? text.sliced(1, text.size() - 2)
               : text;
}

// The stock cache's bits of a vehicle; a vehicle without a section is collected in `uncached` for
// the rebuild and makes the consist's section stale. A vehicle that is cached with no bits at all
// (a type the stock reader does not know) counts as cached, so it is not read again on every
// consist read. On a worker thread (`peek`) the cache is only peeked at.
std::uint32_t VehicleBits(const IniFile& stockCache, const QString& path, Tally& tally,
                          QStringList& uncached, bool peek) {
    const int bits = peek ? stockCache.PeekInteger(path, QStringLiteral("PType"), -1)
                          : stockCache.ReadInteger(path, QStringLiteral("PType"), -1);
    if (bits != -1)
        return std::uint32_t(bits);
    uncached.append(path);
    tally.date = kUncachedDate;
    return 0;
}

// With `uncached` the parse runs on a worker thread: the vehicles the stock cache lacks are
// collected there rather than queued for the rebuild, and no status is shown. The vehicles are
// added to the lists once the whole file is read, so that thousands of them cost no more than
// sorting them once.
// `inOrder` (when given) receives the vehicles' stock paths in file order.
void ParseConsist(MstsTextReader& reader, ConsistInfo& info, const IniFile& stockCache,
                  StringList* vehicles, Tally& tally, QStringList* uncached = nullptr,
                  QStringList* inOrder = nullptr) {
    // A text for every vehicle of thousands of consists would cost more than reading them: one is
    // made when the status bar is to show it.
    const ThrottledReadStatus throttled;
    const QStringList& table = ConsistKeywords();
    QStringList read;
    QStringList lacking;
    QStringView line;
    while (reader.ReadLine(&line)) {
        const int keyword = MatchKeyword(line, table);
        if (keyword < 0)
            continue;
        if (keyword == kTrainCfg) {
            // A block header: the name follows the "(" on the same line.
            const QStringView rest = TrimView(line.mid(table[kTrainCfg].size()));
            info.TrainCfgName = StripQuotes(TrimView(rest.mid(1)).toString());
            if (CompareText(info.TrainCfgName, FileBaseName(info.FileName)) != 0)
                info.PType |= PT_NAME_DIFFERS;
            continue;
        }
        if (keyword == kName) {
            info.Description = CutValue(reader, line, int(table[kName].size()));
            continue;
        }
        const bool engine = keyword == kEngineData;
        const QString value = CutValue(reader, line, int(table[keyword].size()), true);
        const QString path = uncached ? StockPath(value, engine) : StockDataPath(value, engine);
        if (vehicles || inOrder)
            read.append(path);
        const std::uint32_t bits =
            VehicleBits(stockCache, path, tally, uncached ? *uncached : lacking, uncached);
        if (bits & PT_PASSENGER)
            ++tally.passenger;
        if (engine) {
            tally.hasEngine = true;
            info.PType |= bits & kTractionBits;
            if (info.LeadEngine.isEmpty()) {
                info.EngineName =
                    uncached ? stockCache.PeekString(path, QStringLiteral("Name"), QString())
                             : stockCache.ReadString(path, QStringLiteral("Name"), QString());
                info.LeadEngine = path;
                if (!(bits & PT_DRIVEABLE))
                    info.PType |= PT_LEAD_NO_CABVIEW;
            }
        } else {
            if (!(bits & PT_TENDER))
                tally.hasWagon = true;
            if (bits & PT_FREIGHT)
                ++tally.freight;
        }
    }
    if (inOrder)
        *inOrder = read;
    if (vehicles)
        vehicles->AddStrings(std::move(read));
    if (!uncached)
        App().UncachedStockList.AddStrings(std::move(lacking));
    if (tally.hasEngine && !tally.hasWagon && tally.passenger == 0)
        info.PType |= PT_ENGINE;
    if (tally.freight > tally.passenger)
        info.PType |= PT_FREIGHT;
    else if (tally.passenger > tally.freight)
        info.PType |= PT_PASSENGER;
}

void WriteConsistSection(StoreIniHolder& consistCache, StoreIniHolder& stockCache,
                         ConsistInfo& info, qint32 date) {
    IniFile& ini = consistCache.Ini;
    const QString& section = info.FileName;
    const QString lot = EffectiveLotNumber();
    const bool known = ini.SectionExists(section);
    if (!known) {
        info.LotNumber = lot;
        if (AdvanceLastLotNumber(stockCache, lot))
            App().ConsistLotUsed = true;
    }
    // A consist that lost its engines must not keep the old leading engine's name. Removing
    // the line first leaves the lines as removing it between the writes would.
    const bool withEngine = !info.EngineName.isEmpty();
    if (known && !withEngine)
        ini.DeleteKey(section, QStringLiteral("EngineName"));
    const QString ptype = QString::number(int(info.PType));
    const QString fileDate = QString::number(date);
    QStringView keys[5] = {u"PType", u"Description"};
    QStringView values[5] = {ptype, info.Description};
    std::size_t count = 2;
    if (withEngine) {
        keys[count] = u"EngineName";
        values[count++] = info.EngineName;
    }
    keys[count] = u"FileDate";
    values[count++] = fileDate;
    // A forced rebuild keeps every section's lot as it was: it is no new appearance.
    if (lot != u"0" && !App().ForceCacheReread) {
        keys[count] = u"LotNumber";
        values[count++] = info.LotNumber;
    }
    ini.WriteValues(section, keys, values, count);
    consistCache.Modified = true;
}

} // namespace

// The stock path a vehicle reference names (see StockDataPath), without the status. The parts
// are cut out of the value and joined in one text: every vehicle of every consist comes here.
QString StockPath(const QString& value, bool engine) {
    QStringView file;
    QStringView folder;
    if (!value.startsWith(u'"')) {
        const qsizetype blank = FindBlank(value);
        if (blank < 0) {
            folder = WithoutQuotes(value);
        } else {
            file = WithoutQuotes(QStringView(value).first(blank));
            folder = WithoutQuotes(TrimView(QStringView(value).sliced(blank + 1)));
        }
    } else {
        // The quoted file name ends at the first quote that a blank follows.
        qsizetype close = -1;
        for (qsizetype i = 1; i + 1 < value.size() && close < 0; ++i) {
            if (value[i] == u'"' && IsBlank(value[i + 1]))
                close = i;
        }
        if (close < 0) {
            folder = WithoutQuotes(value);
        } else {
            file = TrimView(QStringView(value).sliced(1, close - 1));
            folder = WithoutQuotes(TrimView(QStringView(value).sliced(close + 2)));
        }
    }
    return folder % QLatin1Char('\\') % file %
           (engine ? QLatin1StringView(".ENG") : QLatin1StringView(".WAG"));
}

QString StockDataPath(const QString& value, bool engine) {
    QString path = StockPath(value, engine);
    ShowReadStatus(Msg::STATUS_TEXT_FOUND_STOCK, path.mid(path.lastIndexOf(u'\\') + 1));
    return path;
}

void ParseConsistAhead(MstsTextReader& reader, const QString& fileName, const IniFile& stockCache,
                       ConsistAhead& parsed, bool withVehicles) {
    parsed.info.FileName = fileName;
    parsed.info.Description = fileName;
    parsed.withVehicles = withVehicles;
    Tally tally;
    ParseConsist(reader, parsed.info, stockCache, nullptr, tally, &parsed.uncached,
                 withVehicles ? &parsed.vehicles : nullptr);
}

namespace {

// The date and stamp of the engine `name` (below the trainset folder, `path` in full) in the
// root: -1 when the stock listing finds no such file there; else asked of the file system, by
// the host path the listing gave when it gave one.
qint32 EngineAge(const ListedFileDates* stock, const QString& root, const QString& name,
                 const QString& path, FileStamp* stamp) {
    if (stock) {
        qint32 date = -1;
        QString host;
        switch (stock->Find(root, name, &date, &host)) {
        case ListedFileDates::Answer::Absent:
            return -1;
        case ListedFileDates::Answer::Known:
            if (!host.isEmpty())
                return HostFileAge(host, stamp);
            break;
        case ListedFileDates::Answer::Unknown:
            break;
        }
    }
    return FileAge(path, stamp);
}

} // namespace

void AskLeadEngines(std::vector<ConsistAhead>& parsed, const ListedFileDates* stock) {
    QHash<QString, AheadFile> asked; // by the engine's path as the consists spell it
    for (ConsistAhead& consist : parsed) {
        const QString& lead = consist.info.LeadEngine;
        if (!(consist.info.PType & PT_DRIVEABLE) || lead.isEmpty())
            continue;
        auto known = asked.constFind(lead);
        if (known == asked.cend()) {
            AheadFile engine;
            // The engine's place below either root, as ContentPath gives it below the trainset
            // folder, made once for both.
            const QString name = EntryInside(QString(), lead);
            const QString inside = name.isEmpty() ? QString() : kTrainsetPrefix + name;
            // As the check asks: the store first, then the MSTS folder.
            for (const QString& root : {App().StoreRootFolder, App().MstsRootFolder}) {
                engine.path = inside.isEmpty() ? QString() : InRoot(root, inside);
                engine.age = engine.path.isEmpty()
                                 ? -1
                                 : EngineAge(stock, root, name, engine.path, &engine.stamp);
                if (engine.age != -1) {
                    engine.root = root;
                    engine.earlierLack = true;
                    break;
                }
            }
            known = asked.insert(lead, engine);
        }
        consist.leadEngine = *known;
    }
}

bool TakeConsistSection(const IniFile& ini, const QString& section, qint32 date,
                        ConsistInfo& info) {
    return TakeCurrentSection(ini, section, date, {u"Description", u"EngineName", u"LotNumber"},
                              &info.PType, {&info.Description, &info.EngineName, &info.LotNumber});
}

bool ReadConsistFile(const QString& root, const ItemSet& item, ConsistInfo& info,
                     StoreIniHolder& consistCache, StoreIniHolder& stockCache, StringList* vehicles,
                     const ListedFileDates* listed, const AheadFile* ahead, ConsistAhead* parsed,
                     ListedOnDemand* stockDates) {
    PumpMessagesIfBusy();
    info.Folder = item.Folder;
    info.FileName = item.FileName;
    info.Description = item.FileName;
    info.TrainCfgName.clear();
    info.LeadEngine.clear();
    info.RewriteSection = false;

    // A list of the vehicles is only asked of files read here, or parsed ahead with theirs.
    const bool readAhead =
        ahead && parsed && ahead->root == root && (!vehicles || parsed->withVehicles);
    // One lookup answers both questions: a path that names no file has no date.
    ListedFile file =
        readAhead ? ListedFile(*ahead) : ListedFile(listed, root, kConsistsBase, info.FileName);
    if (file.Age() == -1)
        return false;
    const IniFile& ini = consistCache.Ini;
    const QString& section = info.FileName;
    if (!info.SkipCache && !vehicles && TakeConsistSection(ini, section, file.Age(), info))
        return true;

    if (!file.AskNow())
        return false;
    info.PType = 0;
    info.EngineName.clear();
    Tally tally;
    tally.date = file.Age();
    if (readAhead) {
        // Texts parsed on another thread are taken over, not counted again here.
        info.PType = parsed->info.PType;
        info.Description = std::move(parsed->info.Description);
        info.TrainCfgName = std::move(parsed->info.TrainCfgName);
        info.EngineName = std::move(parsed->info.EngineName);
        info.LeadEngine = std::move(parsed->info.LeadEngine);
        App().UncachedStockList.AddStrings(parsed->uncached);
        if (!parsed->uncached.isEmpty())
            tally.date = kUncachedDate;
        if (vehicles)
            vehicles->AddStrings(std::move(parsed->vehicles));
    } else {
        MstsTextReader reader;
        if (!reader.Open(file.Path()))
            return false;
        ParseConsist(reader, info, stockCache.Ini, vehicles, tally);
    }
    info.LotNumber = ini.ReadString(section, QStringLiteral("LotNumber"), QString());
    if (info.PType & PT_DRIVEABLE)
        CheckLeadEngine(info, consistCache, stockCache, readAhead ? &parsed->leadEngine : nullptr,
                        stockDates);
    if (!CacheSectionIsCurrent(ini, section, tally.date) || info.RewriteSection ||
        App().ForceCacheReread)
        WriteConsistSection(consistCache, stockCache, info, tally.date);
    ShowReadStatus(Msg::STATUS_TEXT_LOADING_CONSIST, info.Description);
    return true;
}

} // namespace qv
