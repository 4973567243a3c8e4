#include "easy/exploresaves.h"

#include "core/appstate.h"
#include "core/filefind.h"
#include "core/storeini.h"
#include "core/stringlist.h"

#include <cmath>

namespace qv {

namespace {

const QString kSaveFilePrefix = QStringLiteral("QV_~TEMP");
constexpr int kHighestSaveNumber = 998;
constexpr double kMsPerDay = 86400000.0;

// The start time is stored as a day number whose fraction is the time of day, in the form the
// float-to-text conversion gives; only the time counts.
QString DayFractionText(const QTime& time) {
    return QString::number(time.msecsSinceStartOfDay() / kMsPerDay, 'g', 15);
}

// Accepts either decimal separator, since the file may come from a machine that uses a comma.
QTime TimeFromDayFraction(const QString& text) {
    bool ok = false;
    const double days = QString(text).replace(u',', u'.').trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(days))
        return QTime(0, 0);
    const double fraction = std::fabs(days - std::trunc(days));
    const qint64 ms = std::llround(fraction * kMsPerDay) % qint64(kMsPerDay);
    return QTime::fromMSecsSinceStartOfDay(int(ms));
}

void WriteExploreSaveRecord(const ExploreActivitySaveInfo& record, IniFile& ini) {
    const QString section = QString::number(record.SaveNumber);
    ini.WriteInteger(section, QStringLiteral("SaveNumber"), record.SaveNumber);
    ini.WriteString(section, QStringLiteral("Name"), record.Name);
    ini.WriteString(section, QStringLiteral("Folder"), record.Folder);
    ini.WriteString(section, QStringLiteral("FileName"), record.FileName);
    ini.WriteString(section, QStringLiteral("ConsistFileName"), record.ConsistFileName);
    ini.WriteString(section, QStringLiteral("PlayerPathFileName"), record.PlayerPathFileName);
    ini.WriteBool(section, QStringLiteral("LooseStock"), record.LooseStock);
    ini.WriteBool(section, QStringLiteral("AITraffic"), record.AITraffic);
    ini.WriteString(section, QStringLiteral("StartTime"), DayFractionText(record.StartTime));
    ini.WriteInteger(section, QStringLiteral("Season"), record.Season);
    ini.WriteInteger(section, QStringLiteral("Weather"), record.Weather);
}

} // namespace

QString ExploreSavesFileName(const QString& routeFolderName) {
    return routeFolderName + QStringLiteral("\\SAVES.QVC");
}

QString ExploreRouteFolderName(const ExploreActivitySaveInfo& record) {
    const QString parent = record.Folder.left(qMax<qsizetype>(0, record.Folder.lastIndexOf(u'\\')));
    return parent.mid(parent.lastIndexOf(u'\\') + 1);
}

QString SaveNumberFromSaveFileName(const QString& name) {
    const qsizetype start = kSaveFilePrefix.size();
    const qsizetype underscore = name.indexOf(u'_', start);
    if (underscore <= start)
        return QString();
    return name.mid(start, underscore - start);
}

void ListExploreSaves(const QString& routeFolderName, StringList* files, StringList* numbers,
                      const StoreIniHolder& savesFile) {
    StringList found = StringList::SortedUnique();
    FindFiles(found, App().MstsRootFolder + QStringLiteral("\\SAVES\\") + routeFolderName, false,
              QString(), kSaveFilePrefix + QStringLiteral("*.sav"));
    for (int i = 0; i < found.Count(); ++i) {
        const QString number = SaveNumberFromSaveFileName(found[i]);
        if (number.isEmpty() || !savesFile.Ini.SectionExists(number))
            continue;
        if (numbers)
            numbers->Add(number);
        if (files)
            files->Add(found[i]);
    }
}

void PurgeStaleExploreSaves(const StringList& validNumbers, StoreIniHolder& savesFile) {
    PruneIniSections(validNumbers, savesFile);
}

bool AllocateExploreSaveNumber(ExploreActivitySaveInfo& record) {
    const QString route = ExploreRouteFolderName(record);
    auto savesFile = OpenStoreIni(ExploreSavesFileName(route));
    StringList numbers = StringList::SortedUnique();
    ListExploreSaves(route, nullptr, &numbers, *savesFile);
    PurgeStaleExploreSaves(numbers, *savesFile);

    for (int n = 1; n <= kHighestSaveNumber; ++n) {
        if (!savesFile->Ini.SectionExists(QString::number(n))) {
            record.SaveNumber = n;
            WriteExploreSaveRecord(record, savesFile->Ini);
            savesFile->Modified = true;
            break;
        }
    }
    CloseStoreIni(std::move(savesFile));
    return record.SaveNumber > 0;
}

bool ReadExploreSaveRecord(ExploreActivitySaveInfo& record, const QString& sectionName,
                           const StoreIniHolder& savesFile) {
    const IniFile& ini = savesFile.Ini;
    if (!ini.SectionExists(sectionName))
        return false;
    record.SaveNumber = ini.ReadInteger(sectionName, QStringLiteral("SaveNumber"), -1);
    record.Name = ini.ReadString(sectionName, QStringLiteral("Name"), QString());
    record.Folder = ini.ReadString(sectionName, QStringLiteral("Folder"), QString());
    record.FileName = ini.ReadString(sectionName, QStringLiteral("FileName"), QString());
    record.ConsistFileName = ini.ReadString(sectionName, QStringLiteral("ConsistFileName"), {});
    record.PlayerPathFileName =
        ini.ReadString(sectionName, QStringLiteral("PlayerPathFileName"), QString());
    record.LooseStock = ini.ReadBool(sectionName, QStringLiteral("LooseStock"), false);
    record.AITraffic = ini.ReadBool(sectionName, QStringLiteral("AITraffic"), false);
    record.StartTime =
        TimeFromDayFraction(ini.ReadString(sectionName, QStringLiteral("StartTime"), {}));
    record.Season = ini.ReadInteger(sectionName, QStringLiteral("Season"), 0);
    record.Weather = ini.ReadInteger(sectionName, QStringLiteral("Weather"), 0);
    return true;
}

} // namespace qv
