#include "mainwindow/iteminfo.h"

#include "catalogue/mststext.h"
#include "catalogue/pathreader.h"
#include "catalogue/routereader.h"
#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/itemset.h"
#include "core/report.h"
#include "core/reportpane.h"
#include "core/status.h"
#include "core/storeini.h"
#include "engine/tsectionedit.h"
#include "engine/tsectionsettings.h"

namespace qv {

QString ItemInfoLabel(Msg key) {
    return Caption(key) + QStringLiteral(": ");
}

QString NameWithFileName(const QString& name, const QString& fileName) {
    if (fileName == QLatin1String("0"))
        return QString();
    if (name == QLatin1String("0"))
        return fileName;
    if (CompareText(name, fileName) != 0 && CompareText(name, WithoutExtension(fileName)) != 0)
        return NameAndFileName(name, fileName);
    return name;
}

QString NameAndFileName(const QString& name, const QString& fileName) {
    return name + QStringLiteral("     (") + fileName + QLatin1Char(')');
}

QString ItemTypeLine(std::uint32_t ptype, bool consist) {
    struct Word {
        std::uint32_t bit;
        Msg consistLabel;
        Msg stockLabel;
        bool inConsist;
    };
    static const Word words[] = {
        {PT_ENGINE, Msg::TYPE_LIGHT_ENGINE_LEG, Msg::TYPE_ENGINE_LEG, true},
        {PT_TENDER, Msg::TYPE_TENDER_LEG, Msg::TYPE_TENDER_LEG, false},
        {PT_PASSENGER, Msg::TYPE_CARRIAGE_LEG, Msg::TYPE_CARRIAGE_LEG, true},
        {PT_FREIGHT, Msg::TYPE_FREIGHT_LEG, Msg::TYPE_FREIGHT_LEG, true},
        {PT_STEAM, Msg::TYPE_STEAM_LEG, Msg::TYPE_STEAM_LEG, true},
        {PT_DIESEL, Msg::TYPE_DIESEL_LEG, Msg::TYPE_DIESEL_LEG, true},
        {PT_ELECTRIC, Msg::TYPE_ELECTRIC_LEG, Msg::TYPE_ELECTRIC_LEG, true},
        {PT_DRIVEABLE, Msg::TYPE_DRIVEABLE_LEG, Msg::TYPE_DRIVEABLE_LEG, true},
    };
    QString line = ItemInfoLabel(Msg::TREE_HEADING_TYPE);
    for (const Word& word : words) {
        if ((ptype & word.bit) && (word.inConsist || !consist))
            line += Caption(consist ? word.consistLabel : word.stockLabel) + QStringLiteral(", ");
    }
    // An engine nobody can drive runs only under the computer's control.
    if (!consist && (ptype & PT_ENGINE) && !(ptype & PT_DRIVEABLE))
        line += Caption(Msg::TYPE_AI_LEG) + QStringLiteral(", ");
    line.chop(2);
    return line;
}

void ShowItemInfo(const ItemSet& item, ReportPane* pane) {
    if (!pane)
        return;
    pane->Clear();
    StatusGuard status(QStringLiteral("INFO"));
    const std::uint32_t kind = item.PType;
    if (kind & PT_HEADING) {
        // A heading describes nothing of its own.
    } else if (kind & PT_ROUTE) {
        WriteRouteInfo(item, pane);
    } else if (kind & PT_ACTIVITY) {
        WriteActivityInfo(item, pane);
    } else if (kind & PT_MASK_CONSIST_RELATED) {
        WriteConsistInfo(item, pane);
    } else if (kind & (PT_MAINT_STOCK | PT_STOCK)) {
        WriteStockInfo(item, pane);
    } else if (kind & PT_MASK_PATH_RELATED) {
        WritePathInfo(item, pane);
    }
    pane->AddLine(QString());
    pane->ScrollToStart();
}

void WriteRouteInfo(const ItemSet& item, ReportPane* pane) {
    RouteInfo route;
    if (!ReadRouteFile(App().MstsRootFolder, item.Folder, item.FileName, route) &&
        !ReadRouteFile(App().StoreRootFolder, item.Folder, item.FileName, route))
        return;
    WriteReportHeading(route.Name, pane);
    pane->AddLine(ItemInfoLabel(Msg::TREE_HEADING_FOLDER) + LastPathComponent(route.Folder));
    pane->AddLine(Caption(Msg::TREE_HEADING_ROUTE_ID) + QStringLiteral(":  ") + route.RouteID);
    pane->AddLine(ItemInfoLabel(Msg::TREE_HEADING_FILE_NAME) + route.FileName);
    pane->AddLine(QString());
    if (ReadTsectionSettings(route)) {
        WriteTsectionSummary(route, pane);
    } else {
        RouteInfo systemDefault;
        if (ReadDefaultTsectionSettings(&systemDefault))
            WriteTsectionSummary(systemDefault, pane);
    }
    AppendRichEditLines(pane, route.Description, true);
}

void WriteTsectionSummary(RouteInfo& record, ReportPane* pane) {
    const Msg which = (record.PType & PT_GLOBAL) ? Msg::TREE_HEADING_TSECTION_DEFAULT
                                                 : Msg::TREE_HEADING_TSECTION_SPECIFIED;
    pane->AddLine(Caption(Msg::TREE_HEADING_TSECTION_NAME) + QStringLiteral(" (") + Caption(which) +
                  QStringLiteral("):"));
    const QString indent4(4, QLatin1Char(' '));
    const QString indent8(8, QLatin1Char(' '));
    const QString indent12(12, QLatin1Char(' '));
    pane->AddLine(indent4 + ItemInfoLabel(Msg::TREE_HEADING_FILE_NAME) + record.TSectionFileName);
    if (ReadTsectionBuild(record)) {
        QString line = indent4 + ItemInfoLabel(Msg::TREE_HEADING_TSECTION_BUILD);
        if (!record.TSectionBuild.isEmpty())
            line += QLatin1Char('(') + record.TSectionBuild + QStringLiteral(") ");
        line += QLatin1Char('(') + TsectionFileDateText(record.TSectionFileName) + QLatin1Char(')');
        pane->AddLine(line);
    }
    if (!record.TSectionDescription.isEmpty())
        pane->AddLine(indent4 + ItemInfoLabel(Msg::TREE_HEADING_DESCRIPTION) +
                      record.TSectionDescription);
    const QString actions = Caption(Msg::TSECTION_ACTION_STRINGS);
    pane->AddLine(indent4 + Caption(Msg::TREE_HEADING_TSECTION_ACTION) + QLatin1Char(':'));
    pane->AddLine(indent8 + Caption(Msg::TREE_HEADING_TSECTION_ACTION_SIMULATION) +
                  QLatin1Char(':'));
    // The actions come from a store file a person can edit: an index outside the list shows
    // "Unknown".
    pane->AddLine(indent12 + GetTextLine(actions, record.TSectionSimulation));
    pane->AddLine(indent8 + Caption(Msg::TREE_HEADING_TSECTION_ACTION_MAINTENANCE) +
                  QLatin1Char(':'));
    pane->AddLine(indent12 + GetTextLine(actions, record.TSectionMaintenance));
    pane->AddLine(QString());
}

void WritePathInfo(const ItemSet& item, ReportPane* pane) {
    PathInfo path;
    path.SkipCache = false;
    path.Folder = item.Folder;
    path.FileName = item.FileName;
    auto cache = OpenStoreIni(CacheFileName(QStringLiteral("CACHEPAT")));
    const bool read = ReadPathFile(App().StoreRootFolder, path, *cache) ||
                      ReadPathFile(App().MstsRootFolder, path, *cache);
    WriteReportHeading(read ? path.Name : item.Description, pane);
    pane->AddLine(Caption(Msg::TREE_HEADING_FOLDER) + QStringLiteral(":   ") + path.Folder);
    pane->AddLine(QString());
    pane->AddLine(ItemInfoLabel(Msg::TREE_HEADING_FILE_NAME) + path.FileName);
    pane->AddLine(QString());
    if (read) {
        pane->AddLine(ItemInfoLabel(Msg::TREE_HEADING_FROM) + path.PathStart);
        pane->AddLine(ItemInfoLabel(Msg::TREE_HEADING_TO) + path.PathEnd);
        pane->AddLine(QString());
        if (path.PType & PT_DRIVEABLE) {
            pane->AddLine(Caption(Msg::TYPE_DRIVEABLE_LEG));
            pane->AddLine(QString());
        }
    }
    CloseStoreIni(std::move(cache));
}

} // namespace qv
