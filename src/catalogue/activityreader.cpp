#include "catalogue/activityreader.h"

#include "catalogue/consistreader.h"
#include "catalogue/listeddates.h"
#include "catalogue/mststext.h"
#include "catalogue/pathrecords.h"
#include "catalogue/readahead.h"
#include "catalogue/servicereader.h"
#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/contentpath.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/regsettings.h"
#include "core/status.h"
#include "core/storeini.h"
#include "core/stringlist.h"
#include "platform/ui.h"
#include "platform/winfs.h"

#include <QStringList>

#include <algorithm>
#include <vector>

namespace qv {

namespace {

// Where a missing list count has always been reported from; support texts refer to it.
constexpr const char* kListProcessModule = "ListProcess";
constexpr int kServiceCountLine = 378;
constexpr int kStockCountLine = 390;

enum ActivityKeyword {
    kName,
    kDescription,
    kRouteId,
    kBriefing,
    kPlayerService,
    kService,
    kTraffic,
    kEngineData,
    kWagonData,
    kPathId,
    kStartTime,
    kSeason,
    kWeather,
    kDifficulty,
    kDuration
};

const QStringList& ActivityKeywords() {
    static const QStringList table{QStringLiteral("Name"),
                                   QStringLiteral("Description"),
                                   QStringLiteral("RouteID"),
                                   QStringLiteral("Briefing"),
                                   QStringLiteral("Player_Service_Definition"),
                                   QStringLiteral("Service_Definition"),
                                   QStringLiteral("Traffic_Definition"),
                                   QStringLiteral("EngineData"),
                                   QStringLiteral("WagonData"),
                                   QStringLiteral("PathID"),
                                   QStringLiteral("StartTime"),
                                   QStringLiteral("Season"),
                                   QStringLiteral("Weather"),
                                   QStringLiteral("Difficulty"),
                                   QStringLiteral("Duration")};
    return table;
}

// The cache keys, in the order a section is written.
const QString kKeyName = QStringLiteral("Name");
const QString kKeyTraffic = QStringLiteral("Traffic");
const QString kKeyTrafficDate = QStringLiteral("TrafficDate");
const QString kKeyLooseStock = QStringLiteral("LooseStock");
const QString kKeyPlayerSrv = QStringLiteral("PlayerSrv");
const QString kKeyPathId = QStringLiteral("PathID");
const QString kKeySvcCount = QStringLiteral("SvcCount");
const QString kKeySvc = QStringLiteral("Svc");
const QString kKeyStkCount = QStringLiteral("StkCount");
const QString kKeyStk = QStringLiteral("Stk");
const QString kKeyFileDate = QStringLiteral("FileDate");

// The folders one activity's references are relative to.
struct ActivityFolders {
    QString section;  // <Folder>\<FileName>: the relative path and the cache section name
    QString route;    // the parent of Folder, e.g. ROUTES\X
    QString services; // <route>\SERVICES\ (with the backslash)
    QString paths;    // <route>\PATHS\ (with the backslash)
};

ActivityFolders FoldersOf(const ActivityInfo& info) {
    ActivityFolders folders;
    folders.section = info.Folder + u'\\' + info.FileName;
    folders.route = ParentPath(info.Folder);
    folders.services = folders.route + QStringLiteral("\\SERVICES\\");
    folders.paths = folders.route + QStringLiteral("\\PATHS\\");
    return folders;
}

// The full path with its extension replaced by ".ASV".
QString SavedStatePath(const QString& fullPath) {
    const qsizetype dot = fullPath.lastIndexOf(u'.');
    const qsizetype slash = fullPath.lastIndexOf(u'\\');
    const QString stem = dot > slash ? fullPath.left(dot) : fullPath;
    return stem + QStringLiteral(".ASV");
}

QString WithoutLeadingBlanks(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    return text.mid(i);
}

// The name that opens a block: the first item after the "(" of the keyword's line. A quoted name
// runs to the quote that a blank follows; without such a quote the whole text counts. A name that
// begins with blanks keeps them where a file name is being read.
QString HeaderValue(const QString& line, int keywordLength, bool keepLeadingBlanks) {
    const QString text = TrimText(TrimText(line.mid(keywordLength)).mid(1));
    if (!text.startsWith(u'"')) {
        const qsizetype blank = FindBlank(text);
        return blank < 0 ? text : text.left(blank);
    }
    qsizetype close = -1;
    for (qsizetype i = 1; i + 1 < text.size() && close < 0; ++i) {
        if (text[i] == u'"' && IsBlank(text[i + 1]))
            close = i;
    }
    const QString value = StripQuotes(close < 0 ? text : text.mid(1, close - 1));
    return keepLeadingBlanks ? value : WithoutLeadingBlanks(value);
}

int NumberOrZero(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok ? value : 0;
}

// The first keyword of the table that begins the line; "Name" and "Description" take part only
// while their field is still empty, so an MSTS activity keeps the texts of its header.
int MatchActivityKeyword(QStringView line, const ActivityInfo& info) {
    const QStringList& table = ActivityKeywords();
    // Activities run to thousands of lines, nearly all of which begin with no keyword: a line is
    // compared only with the keywords of its first letter, folded as the comparison folds it.
    static const std::vector<char32_t> firsts = [&table] {
        std::vector<char32_t> folded;
        for (const QString& keyword : table)
            folded.push_back(QChar::toCaseFolded(char32_t(keyword.front().unicode())));
        return folded;
    }();
    if (line.isEmpty())
        return -1;
    const char32_t first = QChar::toCaseFolded(char32_t(line.front().unicode()));
    for (int i = 0; i < table.size(); ++i) {
        if (firsts[std::size_t(i)] != first || line.size() < table[i].size())
            continue;
        if (i == kName && !info.Name.isEmpty())
            continue;
        if (i == kDescription && !info.Description.isEmpty())
            continue;
        if (StartsWithKeyword(line, table[i]))
            return i;
    }
    return -1;
}

// What one parse collects besides the record's fields.
struct ParsedLists {
    StringList services = StringList::SortedUnique();
    StringList stock = StringList::SortedUnique();
};

// Sets the fields of the record that the activity's lines give, and collects its services and
// stock in file order; with `withStatus` the stock found is shown (not on a worker thread).
void ParseActivityText(MstsTextReader& reader, const ActivityFolders& folders, ActivityInfo& info,
                       QStringList& serviceFiles, QStringList& stockFiles, bool withStatus) {
    const QStringList& table = ActivityKeywords();
    // Lines are looked at where they lie; only those that begin with a keyword are copied.
    QStringView view;
    while (reader.ReadLine(&view)) {
        const int keyword = MatchActivityKeyword(view, info);
        if (keyword < 0)
            continue;
        const QString line = view.toString();
        const int length = int(table[keyword].size());
        switch (keyword) {
        case kName:
            info.Name = CutValue(reader, line, length);
            break;
        case kDescription:
            info.Description = CutValue(reader, line, length);
            break;
        case kRouteId:
            info.RouteID = CutValue(reader, line, length);
            break;
        case kBriefing:
            info.Briefing = CutValue(reader, line, length);
            break;
        case kPlayerService:
            info.PlayerSrv =
                folders.services + HeaderValue(line, length, true) + QStringLiteral(".srv");
            break;
        case kService: {
            const QString service =
                folders.services + HeaderValue(line, length, false) + QStringLiteral(".srv");
            serviceFiles.append(service);
            break;
        }
        case kTraffic:
            info.Traffic = HeaderValue(line, length, false);
            break;
        case kEngineData:
        case kWagonData: {
            const QString value = CutValue(reader, line, length, true);
            const bool engine = keyword == kEngineData;
            stockFiles.append(withStatus ? StockDataPath(value, engine) : StockPath(value, engine));
            break;
        }
        case kPathId:
            info.PathID = HeaderValue(line, length, true) + QStringLiteral(".pat");
            break;
        case kStartTime:
            info.StartTime = ParseTimeText(CutValue(reader, line, length, true));
            break;
        case kSeason:
            info.Season = NumberOrZero(HeaderValue(line, length, false));
            break;
        case kWeather:
            info.Weather = NumberOrZero(HeaderValue(line, length, false));
            break;
        case kDifficulty:
            info.Difficulty = NumberOrZero(CutValue(reader, line, length, true));
            break;
        case kDuration:
            info.Duration = ParseTimeText(CutValue(reader, line, length, true));
            break;
        }
    }
}

// The services and stock are added to the lists once the whole file is read, so that thousands
// of them cost no more than sorting them once.
void TakeParsedLists(QStringList serviceFiles, QStringList stockFiles, ParsedLists& own,
                     StringList* services, StringList* stock) {
    own.services.AddStrings(serviceFiles);
    own.stock.AddStrings(stockFiles);
    if (services)
        services->AddStrings(std::move(serviceFiles));
    if (stock)
        stock->AddStrings(std::move(stockFiles));
}

// Writes the activity's section anew, keys in their fixed order, the file date last.
void RenewSection(StoreIniHolder& cache, const QString& section, const ActivityInfo& info,
                  const ParsedLists& own, qint32 fileDate) {
    IniFile& ini = cache.Ini;
    ini.EraseSection(section);
    ini.WriteString(section, kKeyName, info.Name);
    if (!info.Traffic.isEmpty()) {
        ini.WriteString(section, kKeyTraffic, info.Traffic);
        ini.WriteInteger(section, kKeyTrafficDate, info.TrafficDate);
    }
    ini.WriteBool(section, kKeyLooseStock, info.LooseStock);
    if (App().ExtendedActivityCache) {
        ini.WriteString(section, kKeyPlayerSrv, LastPathComponent(info.PlayerSrv));
        ini.WriteString(section, kKeyPathId, info.PathID);
        ini.WriteInteger(section, kKeySvcCount, own.services.Count());
        for (int i = 0; i < own.services.Count(); ++i)
            ini.WriteString(section, kKeySvc + QString::number(i),
                            LastPathComponent(own.services[i]));
        ini.WriteInteger(section, kKeyStkCount, own.stock.Count());
        for (int i = 0; i < own.stock.Count(); ++i)
            ini.WriteString(section, kKeyStk + QString::number(i), own.stock[i]);
    }
    ini.WriteInteger(section, kKeyFileDate, fileDate);
    cache.Modified = true;
}

// Adds the entries "<key><i>" of a cached list, each behind the prefix. A count that is missing
// while the extended cache is on means the section is not what this program writes.
void AddCachedList(const IniFile& ini, const QString& section, const QString& countKey,
                   const QString& key, const QString& prefix, int line, StringList& list) {
    const int count = ini.ReadInteger(section, countKey, -1);
    if (count < 0) {
        TheUi().MessageBox(UnexpectedText(kListProcessModule, line, QString::number(count)),
                           App().ProgramTitle, MB_ICONSTOP);
        return;
    }
    // The count comes from a file: there are never more entries than the section has lines.
    const int entries = int(std::min<qsizetype>(count, ini.ReadSection(section).size()));
    QStringList texts;
    texts.reserve(entries);
    for (int i = 0; i < entries; ++i)
        texts.append(prefix + ini.ReadString(section, key + QString::number(i), QString()));
    list.AddStrings(std::move(texts));
}

void TakeCachedValues(const IniFile& ini, const ActivityFolders& folders, ActivityInfo& info,
                      StringList* services, StringList* stock) {
    const QString& section = folders.section;
    info.Name = ini.ReadString(section, kKeyName, QString());
    info.Traffic = ini.ReadString(section, kKeyTraffic, QString());
    info.LooseStock = ini.ReadBool(section, kKeyLooseStock, false);
    info.TrafficDate = ini.ReadInteger(section, kKeyTrafficDate, -1);
    if (!App().ExtendedActivityCache)
        return;
    // An activity without a player service keeps none: the bare SERVICES folder is no service
    // file, and a caller would report it as missing.
    const QString playerService = ini.ReadString(section, kKeyPlayerSrv, QString());
    info.PlayerSrv = playerService.isEmpty() ? QString() : folders.services + playerService;
    info.PathID = ini.ReadString(section, kKeyPathId, QString());
    if (services)
        AddCachedList(ini, section, kKeySvcCount, kKeySvc, folders.services, kServiceCountLine,
                      *services);
    if (stock)
        AddCachedList(ini, section, kKeyStkCount, kKeyStk, QString(), kStockCountLine, *stock);
}

// The section serves as long as it belongs to this date of the file and holds every key the
// current cache mode reads.
bool SectionIsValid(const IniFile& ini, const QString& section, qint32 fileDate) {
    return ini.ReadInteger(section, kKeyFileDate, -1) == fileDate &&
           ini.ValueExists(section, kKeyLooseStock) &&
           (!App().ExtendedActivityCache || ini.ValueExists(section, kKeySvcCount));
}

QString BelowRoutesFolder(const QString& path) {
    static const QString routes = QStringLiteral("ROUTES\\");
    return path.startsWith(routes, Qt::CaseInsensitive) ? path.mid(routes.size()) : path;
}

// FileAge of a file below the root, not asked when the listing of its folder lacks it.
qint32 ListedAge(const ListedFileDates* listed, const QString& root, const QString& fullPath) {
    qint32 date = -1;
    if (listed && fullPath.size() > root.size() && fullPath.startsWith(root) &&
        fullPath.at(root.size()) == u'\\' &&
        listed->Find(root, fullPath.mid(root.size() + 1), &date) == ListedFileDates::Answer::Absent)
        return -1;
    return FileAge(fullPath);
}

void ResetActivity(const ItemSet& item, ActivityInfo& info) {
    const bool fullCheck = info.FullCheck;
    info = ActivityInfo();
    info.FullCheck = fullCheck;
    info.Folder = item.Folder;
    info.FileName = item.FileName;
}

} // namespace

void ParseActivityAhead(MstsTextReader& reader, const ItemSet& item, ActivityAhead& parsed) {
    ResetActivity(item, parsed.info);
    ParseActivityText(reader, FoldersOf(parsed.info), parsed.info, parsed.serviceFiles,
                      parsed.stockFiles, false);
    parsed.parsed = true;
}

bool ReadActivityFile(const QString& root, const ItemSet& item, StoreIniHolder& cache,
                      ActivityInfo& info, StringList* services, StringList* stock,
                      const AheadFile* ahead, const ListedFileDates* listed,
                      ActivityAhead* parsedAhead) {
    PumpMessagesIfBusy();
    ResetActivity(item, info);
    const ActivityFolders folders = FoldersOf(info);
    const QString fullPath = ContentPath(root, QString(), folders.section);
    if (fullPath.isEmpty())
        return false;
    // Read ahead: the date is the one of the file whose text was read.
    const bool readAhead = ahead && ahead->root == root && !ahead->path.isEmpty();
    // The file's date tells whether it is there at all: a folder, or nothing, has none.
    const qint32 fileDate = readAhead ? ahead->age : FileAge(fullPath);
    if (fileDate == -1)
        return false;

    if (info.FullCheck) {
        const qint32 savedDate = ListedAge(listed, root, SavedStatePath(fullPath));
        // Packed dates order as the times they stand for when compared without sign.
        if (savedDate != -1 && quint32(fileDate) > quint32(savedDate))
            info.AsvOutOfDate = true;
    }

    bool parsed = false;
    bool renew = !SectionIsValid(cache.Ini, folders.section, fileDate);
    MstsTextReader reader;
    if (readAhead)
        reader = MstsTextReader(ahead->text);
    if ((info.FullCheck || renew) && (readAhead || reader.Open(fullPath))) {
        ParsedLists own;
        QStringList serviceFiles;
        QStringList stockFiles;
        if (readAhead && parsedAhead && parsedAhead->parsed) {
            // The parse made ahead, from the same reset record, stands for this one.
            const bool fullCheck = info.FullCheck;
            info = std::move(parsedAhead->info);
            info.FullCheck = fullCheck;
            serviceFiles = std::move(parsedAhead->serviceFiles);
            stockFiles = std::move(parsedAhead->stockFiles);
            *parsedAhead = ActivityAhead();
        } else {
            ParseActivityText(reader, folders, info, serviceFiles, stockFiles, true);
        }
        TakeParsedLists(std::move(serviceFiles), std::move(stockFiles), own, services, stock);
        info.LooseStock = !own.stock.IsEmpty();

        if (!info.Traffic.isEmpty()) {
            const int cachedDate = cache.Ini.ReadInteger(folders.section, kKeyTrafficDate, -1);
            info.TrafficDate = cachedDate;
            const QString trafficFile =
                ContentPath(App().MstsRootFolder, folders.route + QStringLiteral("\\TRAFFIC"),
                            info.Traffic + QStringLiteral(".trf"));
            const qint32 trafficDate =
                trafficFile.isEmpty() ? -1 : ListedAge(listed, App().MstsRootFolder, trafficFile);
            if (trafficDate != info.TrafficDate || renew) {
                info.TrafficDate = TrafficMatchesActivity(info, own.services) ? trafficDate : -1;
                if (cachedDate != info.TrafficDate)
                    renew = true;
            }
        }
        if (renew)
            RenewSection(cache, folders.section, info, own, fileDate);

        ShowReadStatus(Msg::STATUS_TEXT_LOADING_ACTIVITY, BelowRoutesFolder(folders.section));
        if (info.Name.isEmpty())
            info.Name = info.FileName;
        parsed = true;
    }

    // In the normal mode every cached field comes from the section, also right after a parse, so
    // that a caller sees the same values whether the file was opened or not.
    if (!info.FullCheck || !parsed)
        TakeCachedValues(cache.Ini, folders, info, services, stock);
    if (info.FullCheck) {
        const QString paths = folders.paths.chopped(1);
        const QString store = ContentPath(App().StoreRootFolder, paths, info.PathID);
        const QString msts = ContentPath(App().MstsRootFolder, paths, info.PathID);
        // Mostly in use: the MSTS folder is asked first.
        info.PlayerPathFound = !store.isEmpty() && (FileExists(msts) || FileExists(store));
    }
    return true;
}

bool TrafficMatchesActivity(const ActivityInfo& info, const StringList& services) {
    TrafficInfo traffic;
    StringList listed = StringList::SortedUnique();
    const QString file = ParentPath(info.Folder) + QStringLiteral("\\TRAFFIC\\") + info.Traffic +
                         QStringLiteral(".trf");
    if (!ReadTrafficServices(App().MstsRootFolder, file, traffic, &listed))
        return true;
    int index = 0;
    for (int i = 0; i < services.Count(); ++i) {
        if (!listed.Find(services[i], index) && CompareText(services[i], info.PlayerSrv) != 0)
            return false;
    }
    for (int i = 0; i < listed.Count(); ++i) {
        if (!services.Find(listed[i], index))
            return false;
    }
    return true;
}

} // namespace qv
