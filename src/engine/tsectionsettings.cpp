#include "engine/tsectionsettings.h"

#include "catalogue/mststext.h"
#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/storeini.h"
#include "platform/ui.h"

namespace qv {

namespace {

const QString kSection = QStringLiteral("TSECTION");
const QString kFileNameKey = QStringLiteral("TSectionFileName");
const QString kDescriptionKey = QStringLiteral("TSectionDescription");
const QString kSimulationKey = QStringLiteral("TSectionSimulation");
const QString kMaintenanceKey = QStringLiteral("TSectionMaintenance");
const QString kRouteFile = QStringLiteral("ROUTE.QVC");

// The store data file that holds the record's specification.
QString SettingsFileName(const RouteInfo& record) {
    if (record.PType & PT_GLOBAL)
        return kRouteFile;
    return record.Folder.section(QLatin1Char('\\'), -1) + QLatin1Char('\\') + kRouteFile;
}

void ReportMissingFile(const RouteInfo& record) {
    QString text;
    if (record.PType & PT_GLOBAL)
        text = Caption(Msg::TSECTION_DEFAULT_ERROR_3);
    else
        text = Caption(Msg::TSECTION_SPECIFIC_ERROR_1) + record.Name +
               Caption(Msg::TSECTION_SPECIFIC_ERROR_2);
    text += record.TSectionFileName + Caption(Msg::TSECTION_MISSING_ERROR_1);
    TheUi().MessageBox(text, App().ProgramTitle, MB_ICONSTOP);
}

} // namespace

bool ReadTsectionSettings(RouteInfo& record) {
    record.TSectionFileName.clear();
    record.TSectionDescription.clear();
    record.TSectionBuild.clear();
    auto holder = OpenStoreIni(SettingsFileName(record));
    const IniFile& ini = holder->Ini;
    const bool exists = ini.SectionExists(kSection);
    if (exists) {
        record.TSectionFileName = ini.ReadString(kSection, kFileNameKey, QString());
        record.TSectionDescription = ini.ReadString(kSection, kDescriptionKey, QString());
        record.TSectionSimulation = ini.ReadInteger(kSection, kSimulationKey, TSA_ANY_FILE);
        record.TSectionMaintenance = ini.ReadInteger(kSection, kMaintenanceKey, TSA_ANY_FILE);
    }
    CloseStoreIni(std::move(holder));
    return exists;
}

bool WriteTsectionSettings(const RouteInfo& record) {
    auto holder = OpenStoreIni(SettingsFileName(record));
    IniFile& ini = holder->Ini;
    if (record.TSectionFileName.isEmpty()) {
        if (ini.SectionExists(kSection)) {
            ini.EraseSection(kSection);
            holder->Modified = true;
        }
    } else {
        ini.WriteString(kSection, kFileNameKey, record.TSectionFileName);
        ini.WriteString(kSection, kDescriptionKey, record.TSectionDescription);
        ini.WriteInteger(kSection, kSimulationKey, record.TSectionSimulation);
        ini.WriteInteger(kSection, kMaintenanceKey, record.TSectionMaintenance);
        holder->Modified = true;
    }
    return CloseStoreIni(std::move(holder));
}

bool ReadDefaultTsectionSettings(RouteInfo* record) {
    RouteInfo temporary;
    RouteInfo& target = record ? *record : temporary;
    target.PType = PT_GLOBAL;
    return ReadTsectionSettings(target);
}

TsectionFileState ReadTsectionBuildState(RouteInfo& record) {
    // A record reused for another file must not show the build of the one before.
    record.TSectionBuild.clear();
    MstsTextReader reader;
    if (!reader.Open(record.TSectionFileName)) {
        ReportMissingFile(record);
        return TsectionFileState::Missing;
    }
    static const QStringList keywords = {QStringLiteral("_INFO"), QStringLiteral("TrackSections")};
    QString line;
    while (reader.ReadLine(&line)) {
        const int keyword = MatchKeyword(line, keywords);
        if (keyword < 0)
            continue;
        const QString value = CutValue(reader, line, int(keywords[keyword].size()));
        if (keyword == 1)
            return TsectionFileState::Valid;
        if (value.startsWith(QStringLiteral("Build"), Qt::CaseInsensitive))
            record.TSectionBuild = value;
    }
    return TsectionFileState::Invalid;
}

bool ReadTsectionBuild(RouteInfo& record) {
    return ReadTsectionBuildState(record) == TsectionFileState::Valid;
}

} // namespace qv
