#include "catalogue/stockreader.h"

#include "catalogue/listeddates.h"
#include "catalogue/readahead.h"
#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/generaldefs.h"
#include "core/regsettings.h"
#include "core/status.h"
#include "core/storeini.h"
#include "platform/casefold.h"
#include "platform/winfs.h"

#include <QHash>
#include <QStringList>
#include <cmath>
#include <limits>

namespace qv {

namespace {

// "WagonShape" stands before "Wagon", and "Engine " keeps its blank, so that "EngineData",
// "Engine(" and other longer words do not count as the Engine block.
enum StockKeyword {
    kName,
    kDescription,
    kCabView,
    kPassengerCapacity,
    kWagonShape,
    kWagon,
    kType,
    kEngine,
    kSize,
    kFreightAnim
};

const QStringList& StockKeywords() {
    static const QStringList table{
        QStringLiteral("Name"),       QStringLiteral("Description"),
        QStringLiteral("CabView"),    QStringLiteral("PassengerCapacity"),
        QStringLiteral("WagonShape"), QStringLiteral("Wagon"),
        QStringLiteral("Type"),       QStringLiteral("Engine "),
        QStringLiteral("Size"),       QStringLiteral("FreightAnim")};
    return table;
}

const QString kInfoSection = QStringLiteral("QUARVEL_INFORMATION");

// A block header (Wagon, Engine) is complete once its opening parenthesis is there; a description
// only when it ends with ")"; every other value once it holds a ")".
bool ValueComplete(int keyword, QStringView value) {
    switch (keyword) {
    case kDescription:
        return value.endsWith(u')');
    case kWagon:
    case kEngine:
        return value.contains(u'(');
    default:
        return value.contains(u')');
    }
}

// The first word of a freight animation: a quoted name may hold blanks and ends at the quote
// that a blank follows.
QStringView FirstAnimationWord(QStringView value) {
    if (value.startsWith(u'"')) {
        for (qsizetype i = 1; i + 1 < value.size(); ++i) {
            if (value[i] == u'"' && IsBlank(value[i + 1]))
                return value.mid(1, i - 1);
        }
        return value;
    }
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (IsBlank(value[i]))
            return value.left(i);
    }
    return value;
}

// Most values end on the keyword's own line and are cut out of it without a copy; one that runs
// on is collected first.
QString CutStockValue(MstsTextReader& reader, QStringView line, int keyword) {
    QStringView value = TrimView(line.mid(StockKeywords()[keyword].size()));
    QString collected;
    if (!ValueComplete(keyword, value)) {
        collected = value.toString();
        QStringView next;
        // Only the line just added can complete the value (joining drops a quote or a plus sign,
        // never a parenthesis), so each line is looked at once, however long the value runs.
        for (;;) {
            if (!reader.ReadLine(&next)) {
                collected.append(u')');
                break;
            }
            AppendContinued(collected, next);
            if (keyword == kDescription ? collected.endsWith(u')') : ValueComplete(keyword, next))
                break;
        }
        value = collected;
    }
    if (value.startsWith(u'('))
        value = TrimView(value.mid(1));
    if (value.endsWith(u')'))
        value = TrimView(value.chopped(1));
    if (keyword == kFreightAnim)
        value = FirstAnimationWord(value);
    value = TrimView(value);
    if (value.size() > 1 && value.startsWith(u'"') && value.endsWith(u'"'))
        value = value.mid(1, value.size() - 2);
    return collected.isNull() ? value.toString() : TakeSpan(std::move(collected), value);
}

std::uint32_t TypeBit(const QString& word) {
    struct TypeWord {
        QString word;
        std::uint32_t bit;
    };
    static const TypeWord kTypes[] = {
        {QStringLiteral("Engine"), PT_ENGINE},      {QStringLiteral("Tender"), PT_TENDER},
        {QStringLiteral("Carriage"), PT_PASSENGER}, {QStringLiteral("Freight"), PT_FREIGHT},
        {QStringLiteral("Steam"), PT_STEAM},        {QStringLiteral("Diesel"), PT_DIESEL},
        {QStringLiteral("Electric"), PT_ELECTRIC}};
    for (const TypeWord& type : kTypes) {
        if (CompareText(word, type.word) == 0)
            return type.bit;
    }
    return 0;
}

// What a parse of an engine file gave, by the file's full path. The lead-engine check parses
// the leading engine of every driveable consist right after a stock rebuild has parsed it; an
// engine file whose stamp is the same has the same text, so its parse is taken again. Only
// settled stamps are kept (a file written within the last clock tick could change unseen).
struct ParsedEngine {
    FileStamp stamp;
    StockInfo parsed;
};

QHash<QString, ParsedEngine>& ParsedEngines() {
    static QHash<QString, ParsedEngine> parsed;
    return parsed;
}

// Enough for the engines of a large installation, and a bound on what is kept.
constexpr qsizetype kMaxParsedEngines = 50000;

bool IsEngineFile(const QString& fileName) {
    return fileName.endsWith(QLatin1String(".ENG"), Qt::CaseInsensitive);
}

// Only an engine file's parse under a settled stamp is remembered.
bool KeepsParse(const FileStamp& stamp, const QString& fileName) {
    return stamp.settled && IsEngineFile(fileName);
}

// Remembers an engine file's parse under a settled stamp.
void RememberParse(const QString& key, const FileStamp& stamp, const StockInfo& parsed,
                   const QString& fileName) {
    if (!KeepsParse(stamp, fileName))
        return;
    if (ParsedEngines().size() >= kMaxParsedEngines)
        ParsedEngines().clear();
    ParsedEngines().insert(key, ParsedEngine{stamp, parsed});
}

// The fields ParseStockText sets, from a parse of the file (taken over). Size stays as it was
// when the file has no Size line.
void TakeParse(StockInfo parsed, StockInfo& info) {
    info.PType = parsed.PType;
    info.Name = std::move(parsed.Name);
    info.Description = std::move(parsed.Description);
    info.EngineName = std::move(parsed.EngineName);
    info.WagonShape = std::move(parsed.WagonShape);
    info.FreightAnim = std::move(parsed.FreightAnim);
    if (!std::isnan(parsed.Size))
        info.Size = parsed.Size;
}

// The fields ParseStockText sets, parsed from the file or taken from its last parse.
bool ParseStockFile(const QString& fullName, const FileStamp& stamp, StockInfo& info) {
    // Consists name their engines in any letter case.
    const QString key = FoldCase(fullName);
    const auto known = ParsedEngines().constFind(key);
    if (known != ParsedEngines().cend() && known->stamp.SameFile(stamp)) {
        TakeParse(known->parsed, info);
        return true;
    }
    MstsTextReader reader;
    if (!reader.Open(fullName))
        return false;
    StockInfo parsed;
    ParseStockFileText(reader, info.FileName, parsed);
    RememberParse(key, stamp, parsed, info.FileName);
    TakeParse(std::move(parsed), info);
    return true;
}

void WriteStockSection(StoreIniHolder& cache, StockInfo& info, qint32 age) {
    IniFile& ini = cache.Ini;
    const QString& section = info.FileName;
    const QString lot = EffectiveLotNumber();
    if (!ini.SectionExists(section)) {
        info.LotNumber = lot;
        AdvanceLastLotNumber(cache, lot);
    }
    // A forced rebuild keeps every section's lot as it was: it is no new appearance.
    const bool withLot = lot != u"0" && !App().ForceCacheReread;
    const QString ptype = QString::number(int(info.PType));
    const QString date = QString::number(age);
    const QStringView keys[] = {u"PType", u"Name", u"FileDate", u"LotNumber"};
    const QStringView values[] = {ptype, info.Name, date, info.LotNumber};
    ini.WriteValues(section, keys, values, withLot ? 4 : 3);
    if (withLot)
        App().StockLotUsed = true;
    cache.Modified = true;
}

} // namespace

void ParseStockFileText(MstsTextReader& reader, const QString& fileName, StockInfo& parsed) {
    parsed.Name = fileName;
    parsed.Size = std::numeric_limits<double>::quiet_NaN();
    ParseStockText(reader, FileBaseName(fileName), parsed);
}

void ParseStockText(MstsTextReader& reader, const QString& baseName, StockInfo& info) {
    const QStringList& table = StockKeywords();
    QStringView line;
    while (reader.ReadLine(&line)) {
        const int keyword = MatchKeyword(line, table);
        if (keyword < 0)
            continue;
        const QString value = CutStockValue(reader, line, keyword);
        switch (keyword) {
        case kName:
            info.Name = value;
            break;
        case kDescription:
            info.Description = value;
            break;
        case kCabView:
            info.PType |= PT_DRIVEABLE;
            break;
        case kPassengerCapacity:
            info.PType |= PT_PASSENGER;
            break;
        case kWagonShape:
            info.WagonShape = value;
            break;
        case kWagon:
            info.Name = value;
            if (CompareText(value, baseName) != 0)
                info.PType |= PT_NAME_DIFFERS;
            break;
        case kType:
            info.PType |= TypeBit(value);
            break;
        case kEngine:
            info.EngineName = value;
            if (CompareText(value, baseName) != 0)
                info.PType |= PT_ENGINE_REF_DIFFERS;
            break;
        case kSize:
            info.Size = ParseNumber(value.mid(FindLastBlank(value) + 1, 999));
            break;
        case kFreightAnim:
            info.FreightAnim = value;
            break;
        }
    }
}

QString EffectiveLotNumber() {
    const QString& lot = App().CurrentLotNumber;
    return lot.isEmpty() ? QStringLiteral("0") : lot;
}

bool AdvanceLastLotNumber(StoreIniHolder& stockCache, const QString& lot) {
    if (lot.isEmpty() || lot == u"0")
        return false;
    stockCache.Ini.WriteString(kInfoSection, QStringLiteral("LastLotNumber"), lot);
    stockCache.Modified = true;
    return true;
}

bool TakeStockSection(const IniFile& ini, const QString& section, qint32 date, StockInfo& info) {
    return TakeCurrentSection(ini, section, date, {u"Name", u"LotNumber"}, &info.PType,
                              {&info.Name, &info.LotNumber});
}

bool ReadStockFile(const QString& root, const ItemSet& item, StockInfo& info,
                   StoreIniHolder& stockCache, const ListedFileDates* listed,
                   const AheadFile* ahead, StockInfo* parsed) {
    PumpMessagesIfBusy();
    info.PType = 0;
    info.Folder = item.Folder;
    info.FileName = item.FileName;
    info.Name.clear();
    info.Description.clear();
    info.EngineName.clear();
    info.WagonShape.clear();
    info.FreightAnim.clear();

    const bool readAhead = ahead && ahead->root == root;
    // One lookup answers both questions: a path that names no file has no date.
    ListedFile file =
        readAhead ? ListedFile(*ahead) : ListedFile(listed, root, kTrainsetBase, info.FileName);
    if (file.Age() == -1)
        return false;
    const IniFile& ini = stockCache.Ini;
    const QString& section = info.FileName;
    const qint32 listedAge = file.Age();
    const bool listedCurrent = info.SkipCache ? CacheSectionIsCurrent(ini, section, listedAge)
                                              : TakeStockSection(ini, section, listedAge, info);
    if (listedCurrent && !info.SkipCache)
        return true;

    if (!file.AskNow())
        return false;
    // The file system may tell another date than the listing did.
    const qint32 age = file.Age();
    const bool current =
        age == listedAge ? listedCurrent : CacheSectionIsCurrent(ini, section, age);
    if (readAhead && parsed) {
        // Texts parsed on another thread are taken over, not counted again here.
        // Only what RememberParse keeps is folded.
        if (KeepsParse(file.Stamp(), info.FileName))
            RememberParse(FoldCase(file.Path()), file.Stamp(), *parsed, info.FileName);
        TakeParse(std::move(*parsed), info);
    } else if (!ParseStockFile(file.Path(), file.Stamp(), info)) {
        return false;
    }
    info.LotNumber = ini.ReadString(section, QStringLiteral("LotNumber"), QString());
    if (!current || App().ForceCacheReread)
        WriteStockSection(stockCache, info, age);
    ShowReadStatus(Msg::STATUS_TEXT_LOADING_STOCK, info.Name);
    return true;
}

std::int32_t ReadStockFromEitherRoot(const ItemSet& item, StockInfo& info,
                                     StoreIniHolder& stockCache, const ListedFileDates* listed,
                                     const AheadFile* ahead, StockInfo* parsed) {
    if (!FoundAfterTheStore(ahead) &&
        ReadStockFile(App().StoreRootFolder, item, info, stockCache, listed, ahead, parsed))
        return SI_IN_STORE;
    if (ReadStockFile(App().MstsRootFolder, item, info, stockCache, listed, ahead, parsed))
        return SI_IN_USE;
    return -1;
}

} // namespace qv
