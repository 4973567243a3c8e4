// The activity section of the item information report: the activity's header, the player's
// service with its start, the traffic's service pattern, then every service, every consist with
// its vehicles and the loose stock, each once and in alphabetical order of their files.

#include "mainwindow/iteminfo.h"

#include "catalogue/activityreader.h"
#include "catalogue/consistreader.h"
#include "catalogue/mststext.h"
#include "catalogue/pathreader.h"
#include "catalogue/servicereader.h"
#include "catalogue/stockreader.h"
#include "core/appstate.h"
#include "core/contentpath.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/itemset.h"
#include "core/report.h"
#include "core/reportpane.h"
#include "core/storeini.h"
#include "core/stringlist.h"

#include <QCoreApplication>

namespace qv {

namespace {

QString Blanks(int count) {
    return QString(count, QLatin1Char(' '));
}

// The caption of a label of the main form's Easy page, in the language shown.
QString FormLabel(const char* caption) {
    return QCoreApplication::translate("TMainForm", caption) + QStringLiteral(": ");
}

// A reference read from a file names nothing when it is empty or holds the readers' "not found".
// Names come from strangers' files: one that climbs out of its folder or names a drive is not
// followed, so that the report reads nothing outside the two folders.
bool NamesFile(const QString& reference) {
    return reference != QLatin1String("0") && !NameInside(QString(), reference).isEmpty();
}

// Everything the section reads through, opened once for the whole section.
struct ActivityReading {
    std::unique_ptr<StoreIniHolder> scenarioCache =
        OpenStoreIni(CacheFileName(QStringLiteral("CACHESCN")));
    std::unique_ptr<StoreIniHolder> consistCache =
        OpenStoreIni(CacheFileName(QStringLiteral("CACHECON")));
    std::unique_ptr<StoreIniHolder> stockCache =
        OpenStoreIni(CacheFileName(QStringLiteral("CACHESTK")));
    std::unique_ptr<StoreIniHolder> pathCache =
        OpenStoreIni(CacheFileName(QStringLiteral("CACHEPAT")));

    ~ActivityReading() {
        CloseStoreIni(std::move(scenarioCache));
        CloseStoreIni(std::move(consistCache));
        CloseStoreIni(std::move(stockCache));
        CloseStoreIni(std::move(pathCache));
    }

    // Each read starts from an empty record, so that a file that cannot be read shows empty texts
    // rather than those of the file read before it.
    ServiceInfo ReadService(const QString& reference) const {
        ServiceInfo service;
        if (NamesFile(reference) && !ReadServiceFile(App().MstsRootFolder, reference, service)) {
            service = ServiceInfo();
            ReadServiceFile(App().StoreRootFolder, reference, service);
        }
        return service;
    }

    PathInfo ReadPath(const QString& folder, const QString& fileName) {
        PathInfo path;
        path.Folder = folder;
        path.FileName = fileName;
        if (NamesFile(fileName) && !ReadPathFile(App().StoreRootFolder, path, *pathCache))
            ReadPathFile(App().MstsRootFolder, path, *pathCache);
        return path;
    }

    ConsistInfo ReadConsist(const QString& fileName, StringList* vehicles) {
        ItemSet item;
        item.Folder = QStringLiteral("TRAINS\\CONSISTS");
        item.FileName = fileName;
        ConsistInfo consist;
        if (!NamesFile(fileName))
            return consist;
        if (!ReadConsistFile(App().StoreRootFolder, item, consist, *consistCache, *stockCache,
                             vehicles)) {
            consist = ConsistInfo();
            if (vehicles)
                vehicles->Clear();
            ReadConsistFile(App().MstsRootFolder, item, consist, *consistCache, *stockCache,
                            vehicles);
        }
        return consist;
    }

    StockInfo ReadStock(const QString& fileName) {
        ItemSet item;
        item.Folder = QStringLiteral("TRAINS\\TRAINSET");
        item.FileName = fileName;
        StockInfo stock;
        if (!NamesFile(fileName))
            return stock;
        if (!ReadStockFile(App().StoreRootFolder, item, stock, *stockCache)) {
            stock = StockInfo();
            ReadStockFile(App().MstsRootFolder, item, stock, *stockCache);
        }
        return stock;
    }
};

} // namespace

void WriteActivityInfo(const ItemSet& item, ReportPane* pane) {
    ActivityReading reading;
    StringList services = StringList::SortedUnique();
    StringList consists = StringList::SortedUnique();
    StringList looseStock = StringList::SortedUnique();

    // The scenario cache keeps no description, briefing or start of an activity: the file itself
    // is parsed.
    ActivityInfo activity;
    activity.FullCheck = true;
    bool read = ReadActivityFile(App().MstsRootFolder, item, *reading.scenarioCache, activity,
                                 nullptr, &looseStock);
    if (!read) {
        activity = ActivityInfo();
        activity.FullCheck = true;
        looseStock.Clear();
        read = ReadActivityFile(App().StoreRootFolder, item, *reading.scenarioCache, activity,
                                nullptr, &looseStock);
    }
    if (read) {
        WriteReportHeading(activity.Name, pane);
        pane->AddLine(Caption(Msg::TREE_HEADING_FILE_NAME) + QStringLiteral(": ") +
                      activity.FileName);
        pane->AddLine(QString());
        pane->AddLine(Caption(Msg::TREE_HEADING_DESCRIPTION) + QLatin1Char(':'));
        AppendRichEditLines(pane, activity.Description, true);
        pane->AddLine(QString());

        const QString routeFolder = ParentPath(activity.Folder);
        // An activity that names no player service has none to list or read.
        const ServiceInfo player = reading.ReadService(activity.PlayerSrv);
        if (NamesFile(activity.PlayerSrv))
            services.Add(activity.PlayerSrv);
        const PathInfo playerPath =
            reading.ReadPath(routeFolder + QStringLiteral("\\PATHS"), activity.PathID);
        const IniFile& consistIni = reading.consistCache->Ini;
        const QString hhnn = QStringLiteral("hh:mm");
        pane->AddLine(FormLabel("Locomotive") + consistIni.ReadString(player.ConsistFile,
                                                                      QStringLiteral("EngineName"),
                                                                      QString()));
        pane->AddLine(FormLabel("Consist") + consistIni.ReadString(player.ConsistFile,
                                                                   QStringLiteral("Description"),
                                                                   QString()));
        pane->AddLine(FormLabel("Starting at") + playerPath.PathStart);
        pane->AddLine(FormLabel("Starting") + activity.StartTime.toString(hhnn));
        pane->AddLine(FormLabel("Heading towards") + playerPath.PathEnd);
        // The indexes come from a stranger's file: one outside its list shows "Unknown".
        pane->AddLine(FormLabel("Season") +
                      GetTextLine(Caption(Msg::SEASONS_LEG_STRINGS), activity.Season));
        pane->AddLine(FormLabel("Weather") +
                      GetTextLine(Caption(Msg::WEATHER_LEG_STRINGS), activity.Weather));
        pane->AddLine(FormLabel("Difficulty Level") +
                      GetTextLine(Caption(Msg::DIFFICULTY_STRINGS), activity.Difficulty));
        pane->AddLine(FormLabel("Duration") + activity.Duration.toString(hhnn));
        pane->AddLine(QString());
        pane->AddLine(Caption(Msg::TREE_HEADING_BRIEFING) + QLatin1Char(':'));
        AppendRichEditLines(pane, activity.Briefing, true);
        pane->AddLine(QString());
        pane->AddLine(Caption(Msg::TREE_HEADING_PLAYER_SERVICE) + QLatin1Char(':'));
        pane->AddLine(Blanks(4) + NameWithFileName(player.Name, player.FileName));
        pane->AddLine(QString());

        if (!activity.Traffic.isEmpty()) {
            pane->AddLine(Caption(Msg::TREE_HEADING_TRAFFIC) + QLatin1Char(':'));
            // A stored activity keeps its traffic in the store, so the store is looked in too.
            const QString trafficFile = routeFolder + QStringLiteral("\\TRAFFIC\\") +
                                        activity.Traffic + QStringLiteral(".trf");
            StringList trafficServices;
            TrafficInfo traffic;
            if (NamesFile(activity.Traffic) &&
                !ReadTrafficServices(App().MstsRootFolder, trafficFile, traffic,
                                     &trafficServices)) {
                traffic = TrafficInfo();
                trafficServices.Clear();
                ReadTrafficServices(App().StoreRootFolder, trafficFile, traffic, &trafficServices);
            }
            pane->AddLine(Blanks(4) + NameWithFileName(traffic.Name, traffic.FileName));
            pane->AddLine(Blanks(8) + Caption(Msg::TREE_HEADING_SERVICE_PATTERN) +
                          QLatin1Char(':'));
            for (int i = 0; i < trafficServices.Count(); ++i) {
                const QString& entry = trafficServices[i];
                if (NamesFile(entry))
                    services.Add(entry);
                const ServiceInfo service = reading.ReadService(entry);
                pane->AddLine(Blanks(12) + NameWithFileName(service.Name, service.FileName));
            }
            pane->AddLine(QString());
        }
    }

    pane->AddLine(Caption(Msg::TREE_HEADING_SERVICE_DETAILS) + QLatin1Char(':'));
    for (int i = 0; i < services.Count(); ++i) {
        const ServiceInfo service = reading.ReadService(services[i]);
        if (NamesFile(service.ConsistFile))
            consists.Add(service.ConsistFile);
        pane->AddLine(Blanks(4) + NameWithFileName(service.Name, service.FileName));
        const ConsistInfo consist = reading.ReadConsist(service.ConsistFile, nullptr);
        pane->AddLine(Blanks(8) + Caption(Msg::TYPE_CONSIST_LEG) + QStringLiteral(": ") +
                      NameWithFileName(consist.Description, consist.FileName));
        const PathInfo path = reading.ReadPath(
            ParentPath(service.Folder) + QStringLiteral("\\PATHS"), service.PathFile);
        pane->AddLine(Blanks(8) + Caption(Msg::TREE_HEADING_PATH) + QStringLiteral(": ") +
                      NameWithFileName(path.Name, path.FileName));
        pane->AddLine(Blanks(12) + QLatin1Char('(') + path.PathStart + QStringLiteral(" --> ") +
                      path.PathEnd + QLatin1Char(')'));
        pane->AddLine(QString());
    }
    pane->AddLine(QString());

    if (consists.Count() > 0) {
        pane->AddLine(Caption(Msg::TREE_HEADING_CONSIST_DETAILS) + QLatin1Char(':'));
        for (int i = 0; i < consists.Count(); ++i) {
            StringList vehicles;
            const ConsistInfo consist = reading.ReadConsist(consists[i], &vehicles);
            pane->AddLine(Blanks(4) + NameWithFileName(consist.Description, consist.FileName));
            for (int v = 0; v < vehicles.Count(); ++v) {
                const StockInfo stock = reading.ReadStock(vehicles[v]);
                pane->AddLine(Blanks(8) + NameAndFileName(stock.Name, vehicles[v]));
            }
            pane->AddLine(QString());
        }
        pane->AddLine(QString());
    }

    if (looseStock.Count() > 0) {
        pane->AddLine(Caption(Msg::TREE_HEADING_LOOSE_STOCK) + QLatin1Char(':'));
        for (int i = 0; i < looseStock.Count(); ++i) {
            const StockInfo stock = reading.ReadStock(looseStock[i]);
            pane->AddLine(Blanks(4) + NameAndFileName(stock.Name, looseStock[i]));
        }
    }
}

} // namespace qv
