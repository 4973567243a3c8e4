#include "easy/exploresaves.h"

#include "catalogue/mststext.h"
#include "catalogue/pathreader.h"
#include "core/appstate.h"
#include "core/easyservices.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/report.h"
#include "core/reportpane.h"
#include "core/storeini.h"
#include "core/stringlist.h"
#include "easy/explorestate.h"
#include "platform/winfind.h"
#include "platform/winfs.h"

#include <QCoreApplication>
#include <QLocale>
#include <cerrno>
#include <cmath>

namespace qv {

namespace {

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
    return LastPathComponent(ParentPath(record.Folder));
}

QString SaveNumberFromSaveFileName(const QString& name) {
    const qsizetype start = kExploreTempPrefix.size();
    const qsizetype underscore = name.indexOf(u'_', start);
    if (underscore <= start)
        return QString();
    return name.mid(start, underscore - start);
}

bool ListExploreSaves(const QString& routeFolderName, StringList* files, StringList* numbers,
                      const StoreIniHolder& savesFile) {
    QStringList names;
    int error = 0;
    const bool listed =
        FindNames(App().MstsRootFolder + QStringLiteral("\\SAVES\\") + routeFolderName +
                      QStringLiteral("\\") + kExploreTempPrefix + QStringLiteral("*.sav"),
                  false, &names, nullptr, &error);
    // No match and no save folder both mean no saves, as long as the MSTS folder itself is there.
    if (!listed && !(error == ENOENT && FolderExists(App().MstsRootFolder)))
        return false;
    StringList found = StringList::SortedUnique();
    for (const QString& name : std::as_const(names))
        found.Add(name);
    for (int i = 0; i < found.Count(); ++i) {
        const QString number = SaveNumberFromSaveFileName(found[i]);
        if (number.isEmpty() || !savesFile.Ini.SectionExists(number))
            continue;
        if (numbers)
            numbers->Add(number);
        if (files)
            files->Add(found[i]);
    }
    return true;
}

void PurgeStaleExploreSaves(const StringList& validNumbers, StoreIniHolder& savesFile) {
    PruneIniSections(validNumbers, savesFile);
}

bool AllocateExploreSaveNumber(ExploreActivitySaveInfo& record) {
    const QString route = ExploreRouteFolderName(record);
    auto savesFile = OpenStoreIni(ExploreSavesFileName(route));
    StringList numbers = StringList::SortedUnique();
    if (ListExploreSaves(route, nullptr, &numbers, *savesFile))
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
    bool numeric = false;
    const int sectionNumber = sectionName.toInt(&numeric);
    record.SaveNumber = numeric && sectionNumber > 0
                            ? sectionNumber
                            : ini.ReadInteger(sectionName, QStringLiteral("SaveNumber"), -1);
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

QString ExploreSaveDateText(const QDateTime& date) {
    return QLocale(QLocale::English).toString(date, QStringLiteral("dd MMM yyyy HH:mm"));
}

QString ExploreSessionUsingText(const ExploreActivitySaveInfo& record) {
    QString options;
    if (record.LooseStock)
        options += Caption(Msg::TREE_HEADING_LOOSE_STOCK) + QStringLiteral(", ");
    if (record.AITraffic)
        options += QCoreApplication::translate("TMainForm", "AI Traffic") + QStringLiteral(", ");
    options.chop(2);
    if (!options.isEmpty())
        options += u' ' + Caption(Msg::OUT_OF_TAG) + u' ';
    return options + record.Name;
}

void DescribeExploreSession(const ExploreActivitySaveInfo& record, ReportPane* pane) {
    const auto label = [](const char* caption) {
        return QCoreApplication::translate("TMainForm", caption) + QStringLiteral(": ");
    };
    auto consistCache = OpenStoreIni(QStringLiteral("CACHECON.QVC"));
    auto pathCache = OpenStoreIni(QStringLiteral("CACHEPAT.QVC"));
    PathInfo path;
    path.Folder = ParentPath(record.Folder) + QStringLiteral("\\PATHS");
    path.FileName = LastPathComponent(record.PlayerPathFileName);
    if (!ReadPathFile(App().StoreRootFolder, path, *pathCache))
        ReadPathFile(App().MstsRootFolder, path, *pathCache);
    const IniFile& consists = consistCache->Ini;

    WriteReportHeading(Caption(Msg::SAVED_LEG) + u' ' + ExploreSessionName(record.SaveNumber),
                       pane);
    pane->AddLine(Caption(Msg::SAVED_LEG) + QStringLiteral(": ") +
                  ExploreSaveDateText(record.SaveDate));
    pane->AddLine(label("Locomotive") +
                  consists.ReadString(record.ConsistFileName, QStringLiteral("EngineName"), {}));
    pane->AddLine(label("Consist") +
                  consists.ReadString(record.ConsistFileName, QStringLiteral("Description"), {}));
    pane->AddLine(Caption(Msg::USING_LEG) + QStringLiteral(": ") + ExploreSessionUsingText(record));
    pane->AddLine(label("Starting at") + path.PathStart);
    pane->AddLine(label("Starting") + record.StartTime.toString(QStringLiteral("HH:mm")));
    pane->AddLine(label("Heading towards") + path.PathEnd);
    pane->AddLine(label("Season") + GetTextLine(Caption(Msg::SEASONS_LEG_STRINGS), record.Season));
    pane->AddLine(label("Weather") +
                  GetTextLine(Caption(Msg::WEATHER_LEG_STRINGS), record.Weather));
    CloseStoreIni(std::move(consistCache));
    CloseStoreIni(std::move(pathCache));
}

} // namespace qv
