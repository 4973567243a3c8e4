#include "catalogue/stockreader.h"

#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/generaldefs.h"
#include "core/regsettings.h"
#include "core/status.h"
#include "core/storeini.h"
#include "platform/winfs.h"

#include <QStringList>

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
bool ValueComplete(int keyword, const QString& value) {
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
QString FirstAnimationWord(const QString& value) {
    if (value.startsWith(u'"')) {
        for (qsizetype i = 1; i + 1 < value.size(); ++i) {
            if (value[i] == u'"' && IsBlank(value[i + 1]))
                return value.mid(1, i - 1);
        }
        return value;
    }
    const qsizetype blank = FindBlank(value);
    return blank < 0 ? value : value.left(blank);
}

QString CutStockValue(MstsTextReader& reader, const QString& line, int keyword) {
    QString value = TrimText(line.mid(StockKeywords()[keyword].size()));
    QString next;
    while (!ValueComplete(keyword, value)) {
        if (!reader.ReadLine(&next)) {
            value.append(u')');
            break;
        }
        value = JoinContinuedString(value, next);
    }
    if (value.startsWith(u'('))
        value = TrimText(value.mid(1));
    if (value.endsWith(u')'))
        value = TrimText(value.chopped(1));
    if (keyword == kFreightAnim)
        value = FirstAnimationWord(value);
    return StripQuotes(TrimText(value));
}

std::uint32_t TypeBit(const QString& word) {
    struct TypeWord {
        const char16_t* word;
        std::uint32_t bit;
    };
    static const TypeWord kTypes[] = {{u"Engine", PT_ENGINE},      {u"Tender", PT_TENDER},
                                      {u"Carriage", PT_PASSENGER}, {u"Freight", PT_FREIGHT},
                                      {u"Steam", PT_STEAM},        {u"Diesel", PT_DIESEL},
                                      {u"Electric", PT_ELECTRIC}};
    for (const TypeWord& type : kTypes) {
        if (CompareText(word, QString::fromUtf16(type.word)) == 0)
            return type.bit;
    }
    return 0;
}

void WriteStockSection(StoreIniHolder& cache, StockInfo& info, qint32 age) {
    IniFile& ini = cache.Ini;
    const QString& section = info.FileName;
    const QString lot = EffectiveLotNumber();
    if (!ini.SectionExists(section)) {
        info.LotNumber = lot;
        AdvanceLastLotNumber(cache, lot);
    }
    ini.WriteInteger(section, QStringLiteral("PType"), int(info.PType));
    ini.WriteString(section, QStringLiteral("Name"), info.Name);
    ini.WriteInteger(section, QStringLiteral("FileDate"), age);
    // A forced rebuild keeps every section's lot as it was: it is no new appearance.
    if (lot != u"0" && !App().ForceCacheReread) {
        ini.WriteString(section, QStringLiteral("LotNumber"), info.LotNumber);
        App().StockLotUsed = true;
    }
    cache.Modified = true;
}

} // namespace

void ParseStockText(MstsTextReader& reader, const QString& baseName, StockInfo& info) {
    const QStringList& table = StockKeywords();
    QString line;
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

bool ReadStockFile(const QString& root, const ItemSet& item, StockInfo& info,
                   StoreIniHolder& stockCache) {
    PumpMessagesIfBusy();
    info.PType = 0;
    info.Folder = item.Folder;
    info.FileName = item.FileName;
    info.Name.clear();
    info.Description.clear();
    info.EngineName.clear();
    info.WagonShape.clear();
    info.FreightAnim.clear();

    const QString fullName = root + QStringLiteral("\\TRAINS\\TRAINSET\\") + info.FileName;
    // One lookup answers both questions: a path that names no file has no date.
    const qint32 age = FileAge(fullName);
    if (age == -1)
        return false;
    const IniFile& ini = stockCache.Ini;
    const QString& section = info.FileName;
    const bool current = CacheSectionIsCurrent(ini, section, age);
    if (current && !info.SkipCache) {
        info.PType = std::uint32_t(ini.ReadInteger(section, QStringLiteral("PType"), -1));
        info.Name = ini.ReadString(section, QStringLiteral("Name"), QString());
        info.LotNumber = ini.ReadString(section, QStringLiteral("LotNumber"), QString());
        return true;
    }

    MstsTextReader reader;
    if (!reader.Open(fullName))
        return false;
    info.Name = info.FileName;
    ParseStockText(reader, FileBaseName(info.FileName), info);
    info.LotNumber = ini.ReadString(section, QStringLiteral("LotNumber"), QString());
    if (!current || App().ForceCacheReread)
        WriteStockSection(stockCache, info, age);
    ShowReadStatus(Msg::STATUS_TEXT_LOADING_STOCK, info.Name);
    return true;
}

} // namespace qv
