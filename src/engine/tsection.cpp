#include "engine/tsection.h"

#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/easyservices.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/itemtree.h"
#include "core/mainservices.h"
#include "core/report.h"
#include "core/storeini.h"
#include "platform/ui.h"
#include "platform/winfs.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>

namespace qv {

namespace {

// Reads the build of a specification's file. A missing file has been reported by the reader; a
// file that is there but is no TSECTION.DAT is reported here, so that the job never stops
// without telling the user why.
bool ReadBuildReported(RouteInfo& record) {
    const TsectionFileState state = ReadTsectionBuildState(record);
    if (state == TsectionFileState::Invalid)
        TheUi().MessageBox(Caption(Msg::TSECTION_INVALID_FILE) + QStringLiteral("\n(") +
                               record.TSectionFileName + QLatin1Char(')'),
                           App().ProgramTitle, MB_ICONSTOP);
    return state == TsectionFileState::Valid;
}

// The file's last-write date as a day number of the local calendar (days and their fraction),
// so that differences count calendar days as the dates show them; 0 when there is no date.
double FileDayNumber(const QString& file) {
    const QDateTime date = UnpackDosDateTime(FileAge(file));
    if (!date.isValid())
        return 0.0;
    return double(date.date().toJulianDay()) + date.time().msecsSinceStartOfDay() / 86400000.0;
}

} // namespace

bool BuildTsectionEntryList(ConflictList& list, bool allRoutes) {
    RouteInfo systemDefault;
    if (!ReadDefaultTsectionSettings(&systemDefault))
        return true; // without a system default no TSECTION.DAT is managed
    if (!ReadBuildReported(systemDefault))
        return false;

    MainServices& main = TheMainServices();
    const bool maintenance = main.SimulationMaintPageIndex() != 0;
    const ItemTree* tree = main.QuarvelObjects();
    for (ItemNode* node = tree ? tree->First() : nullptr; node; node = node->GetNext()) {
        const ItemSet& item = *node->Data();
        if (!IsRouteItem(item) || (item.StoreInd != SI_IN_USE && !allRoutes))
            continue;
        RouteInfo route;
        route.PType = item.PType;
        route.Name = item.Description;
        route.Folder = item.Folder;
        route.FileName = item.FileName;

        auto entry = std::make_unique<ConflictInfo>();
        entry->RouteName = item.Description;
        entry->RouteFolder = item.Folder;
        entry->RouteFile = item.FileName;

        const RouteInfo* required = &systemDefault;
        if (ReadTsectionSettings(route)) {
            if (!ReadBuildReported(route))
                return false;
            required = &route;
        }
        entry->UsesDefault = required == &systemDefault;
        entry->TSectionFileName = required->TSectionFileName;
        entry->TSectionDescription = required->TSectionDescription;
        entry->TSectionBuild = required->TSectionBuild;
        entry->Action = maintenance ? required->TSectionMaintenance : required->TSectionSimulation;
        list.push_back(std::move(entry));
    }
    return true;
}

int CompareTsectionVersions(const ConflictInfo& a, const ConflictInfo& b) {
    const bool aHasBuild = !a.TSectionBuild.isEmpty();
    const bool bHasBuild = !b.TSectionBuild.isEmpty();
    if (aHasBuild && bHasBuild)
        return CompareText(a.TSectionBuild, b.TSectionBuild);
    if (bHasBuild)
        return -1;
    if (aHasBuild)
        return 1;
    return int(std::trunc(FileDayNumber(a.TSectionFileName) - FileDayNumber(b.TSectionFileName)));
}

int CompareTsectionConflictOrder(const ConflictInfo& a, const ConflictInfo& b) {
    const bool aSelected = a.Selected != 0;
    const bool bSelected = b.Selected != 0;
    if (aSelected != bSelected)
        return aSelected ? -1 : 1;
    if (a.ConflictCount != b.ConflictCount)
        return a.ConflictCount > b.ConflictCount ? -1 : 1;
    if (const int versions = CompareTsectionVersions(a, b); versions != 0)
        return versions;
    return CompareText(a.RouteName, b.RouteName);
}

bool FindTsectionConflicts(ConflictList& list, bool sort) {
    for (auto& entry : list)
        entry->ConflictCount = 0;
    bool any = false;
    for (std::size_t i = 0; i < list.size(); ++i) {
        ConflictInfo& a = *list[i];
        if (!a.Selected)
            continue;
        for (std::size_t j = i + 1; j < list.size(); ++j) {
            ConflictInfo& b = *list[j];
            if (!b.Selected)
                continue;
            bool conflict = false;
            if (a.Action == TSA_THIS_FILE && b.Action == TSA_THIS_FILE)
                conflict = CompareText(a.TSectionFileName, b.TSectionFileName) != 0;
            else if (a.Action == TSA_THIS_FILE && b.Action == TSA_THIS_BUILD_OR_HIGHER)
                conflict = CompareTsectionVersions(a, b) < 0;
            else if (a.Action == TSA_THIS_BUILD_OR_HIGHER && b.Action == TSA_THIS_FILE)
                conflict = CompareTsectionVersions(a, b) > 0;
            if (conflict) {
                ++a.ConflictCount;
                ++b.ConflictCount;
                any = true;
            }
        }
    }
    if (sort)
        std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
            return CompareTsectionConflictOrder(*a, *b) < 0;
        });
    return any;
}

int RecommendedTsectionEntry(const ConflictList& list) {
    // Without a conflict every route that asks for one specific file asks for the same file,
    // and that file meets every minimum build; a newer file that some other route merely
    // accepts must not replace it. Otherwise the newest file serves every route.
    int kept = -1;
    bool keptSpecific = false;
    for (int i = 0; i < int(list.size()); ++i) {
        const ConflictInfo& entry = *list[std::size_t(i)];
        if (entry.ConflictCount > 0)
            return -1;
        if (!entry.Selected)
            continue;
        const bool specific = entry.Action == TSA_THIS_FILE;
        if (keptSpecific && !specific)
            continue;
        if (kept < 0 || (specific && !keptSpecific) ||
            CompareTsectionVersions(entry, *list[std::size_t(kept)]) >= 0) {
            kept = i;
            keptSpecific = specific;
        }
    }
    return kept;
}

bool ApplyTsectionChoice(ItemTree& tree, const ConflictList& list) {
    bool result = true;
    for (const auto& entry : list) {
        if (entry->Selected)
            continue;
        ItemNode* node = tree.First();
        for (; node; node = node->GetNext()) {
            const ItemSet& item = *node->Data();
            if (IsRouteItem(item) && item.Folder == entry->RouteFolder &&
                item.FileName == entry->RouteFile && item.Description == entry->RouteName)
                break;
        }
        if (node) {
            tree.SetSelected(node);
            TheEasyServices().MarkSelectedNode(SI_IN_STORE, false);
        } else {
            Report(RL_ERROR, nullptr,
                   UnexpectedText(__FILE__, __LINE__,
                                  QLatin1Char('\'') + entry->RouteName + QLatin1Char('\'')),
                   TheMainServices().InformationMemo());
            result = false;
        }
    }
    return result;
}

bool InstallTsectionFile(const QString& file) {
    const QString target = App().MstsRootFolder + QStringLiteral("\\GLOBAL\\TSECTION.DAT");
    // MSTS's file is replaced only by a complete copy renamed into place: a copy that breaks
    // off leaves the file MSTS had.
    QByteArray content;
    int error = 0;
    if (ReadWholeFile(file, &content) && WriteFileAtomic(target, content, &error)) {
        // The date is what tells files without a build apart; the installed content stands
        // even when the date cannot be set.
        const qint32 age = FileAge(file);
        if (age != -1)
            SetFileAge(target, age);
        return true;
    }
    const QString text = Caption(Msg::TSECTION_MOVE_ERROR1) + file +
                         Caption(Msg::TSECTION_MOVE_ERROR2) + target + QLatin1Char(')') +
                         LinkOutText(target, error);
    Report(RL_ERROR, nullptr, text, TheMainServices().InformationMemo());
    TheUi().MessageBox(text, App().ProgramTitle, MB_ICONSTOP);
    return false;
}

} // namespace qv
