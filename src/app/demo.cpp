#include "app/demo.h"

#include "catalogue/itemfiles.h"
#include "catalogue/namedlists.h"
#include "core/appstate.h"
#include "core/itemkinds.h"
#include "core/itemset.h"
#include "core/regsettings.h"
#include "core/startupconfig.h"
#include "core/storeini.h"
#include "core/toolpaths.h"
#include "fixtures/acewriter.h"
#include "fixtures/mstsbuilder.h"
#include "fixtures/mstsshapes.h"
#include "platform/drivemap.h"
#include "platform/mstsfile.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QStandardPaths>
#include <cmath>

namespace qv {

namespace {

// Written last, so that a build that was cut short is made again from the start. Its name
// changes when the demo gains content, so that an older demo folder is built afresh.
const QString kBuiltMark = QStringLiteral("demo-built-3");

// The demo's paths are Z: paths, which name the host's own folders whatever Wine prefix there is.
QString ZPath(const QString& hostPath) {
    return JoinWindowsPath(QLatin1Char('Z'),
                           QDir::cleanPath(hostPath).split(QLatin1Char('/'), Qt::SkipEmptyParts));
}

// Stands in for TRAIN.EXE: says what would have started and ends after a moment, as a short
// MSTS session would.
bool WriteMstsStandIn(const QString& hostPath) {
    QFile file(hostPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write("#!/bin/sh\n"
               "# Stands in for MSTS in the Quarvel demo.\n"
               "echo \"Quarvel demo: MSTS would start now with: $*\"\n"
               "sleep 3\n");
    file.close();
    return file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
}

// Registers named lists of one kind in the scope's ROUTE.QVC, one "<id>=<state>,<name>" each,
// and writes each list's members.
bool AddNamedLists(const QString& folder, std::uint32_t kind, const QStringList& entries,
                   const std::vector<QStringList>& members) {
    const bool global = folder.startsWith(QLatin1String("TRAINS\\"), Qt::CaseInsensitive);
    auto registerFile =
        OpenStoreIni(global ? QStringLiteral("ROUTE.QVC")
                            : LastPathComponent(folder) + QStringLiteral("\\ROUTE.QVC"));
    for (std::size_t i = 0; i < std::size_t(entries.size()); ++i) {
        const QString id = entries[qsizetype(i)].section(QLatin1Char('='), 0, 0);
        registerFile->Ini.WriteString(RouteListSection(kind), id,
                                      entries[qsizetype(i)].section(QLatin1Char('='), 1));
        RecordList<ItemSet> items;
        for (const QString& member : members.at(i))
            items.push_back(std::make_unique<ItemSet>(
                ItemSet{0, kind, 0, QString(), folder, member, QString(), QString()}));
        if (!WriteItemListFile(folder, id + QStringLiteral(".QVC"), items))
            return false;
    }
    registerFile->Modified = true;
    return CloseStoreIni(std::move(registerFile));
}

// A few named lists: global Explore and Maintenance consist lists, a stock list, and path lists
// of one route.
bool AddDemoLists(const MstsManifest& manifest) {
    QStringList consists;
    for (const QString& path : manifest.Paths(MstsFileKind::Consist))
        consists << LastPathComponent(path);
    QStringList usa2Paths;
    for (const QString& path : manifest.Paths(MstsFileKind::Path)) {
        if (path.contains(QLatin1String("\\USA2\\"), Qt::CaseInsensitive))
            usa2Paths << LastPathComponent(path);
    }
    QStringList engines;
    for (const QString& path : manifest.Paths(MstsFileKind::Engine))
        engines << path.section(QLatin1Char('\\'), 2); // below TRAINS\TRAINSET
    QStringList wagons;
    for (const QString& path : manifest.Paths(MstsFileKind::Wagon))
        wagons << path.section(QLatin1Char('\\'), 2);
    if (consists.size() < 4 || usa2Paths.isEmpty() || engines.size() < 2 || wagons.isEmpty())
        return false;
    return AddNamedLists(QStringLiteral("TRAINS\\CONSISTS"), PT_EXPLORE_CONSIST,
                         {QStringLiteral("CONSISTS=12,Original List"),
                          QStringLiteral("CONSISTS1=11,Heavy Freight")},
                         {consists.mid(0, 3), consists.mid(3, 2)}) &&
           AddNamedLists(QStringLiteral("TRAINS\\CONSISTS"), PT_MAINT_CONSIST,
                         {QStringLiteral("MAINTCON=12,Original List")}, {consists.mid(1, 2)}) &&
           AddNamedLists(QStringLiteral("TRAINS\\TRAINSET"), PT_MAINT_STOCK,
                         {QStringLiteral("MAINTSTK=12,Original List")},
                         {engines.mid(0, 2) + wagons.mid(0, 1)}) &&
           AddNamedLists(QStringLiteral("ROUTES\\USA2"), PT_EXPLORE_PATH,
                         {QStringLiteral("PATHS=12,Original List")}, {usa2Paths.mid(0, 2)}) &&
           AddNamedLists(QStringLiteral("ROUTES\\USA2"), PT_MAINT_PATH,
                         {QStringLiteral("MAINTPAT=12,Original List")}, {usa2Paths.mid(0, 1)});
}

// A landscape of sky, hills and track in the route's own colours, as a loading screen.
QImage RoutePicture(int seed) {
    QImage picture(320, 200, QImage::Format_RGB888);
    const int hue = (seed * 67) % 360;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const int hill = 110 + int(25 * std::sin((x + seed * 40) / 37.0));
            QColor colour;
            if (y < hill)
                colour = QColor::fromHsv(210, 90 - y / 3, 255 - y / 2);
            else if (std::abs(y - 160 - (x - 160) / 8) < 3)
                colour = QColor(60, 50, 40);
            else
                colour = QColor::fromHsv(hue, 160, 200 - (y - hill) / 2);
            picture.setPixelColor(x, y, colour);
        }
    }
    return picture;
}

// Gives each route a loading screen: every other one as an MSTS texture, the rest as a JPEG
// that the route file then names.
bool AddRoutePictures(const MstsBuilder& builder, const QString& mstsHost) {
    int seed = 0;
    for (const QString& route : builder.Manifest().Paths(MstsFileKind::Route)) {
        const QString trk = mstsHost + QLatin1Char('/') + QString(route).replace(u'\\', u'/');
        const QString folder = QFileInfo(trk).absolutePath();
        const QImage picture = RoutePicture(++seed);
        if (seed % 2 == 1) {
            QByteArray rgb;
            for (int y = 0; y < picture.height(); ++y)
                rgb.append(reinterpret_cast<const char*>(picture.constScanLine(y)),
                           3 * picture.width());
            QFile ace(folder + QStringLiteral("/load.ace"));
            if (!ace.open(QIODevice::WriteOnly) ||
                ace.write(AceFileFromRgb(picture.width(), picture.height(), rgb)) < 0)
                return false;
            continue;
        }
        if (!picture.save(folder + QStringLiteral("/load.jpg"), "JPEG"))
            return false;
        QString text;
        if (!ReadMstsTextHostFile(trk, &text))
            return false;
        text.replace(QStringLiteral("LoadingScreen ( load.ace )"),
                     QStringLiteral("LoadingScreen ( load.jpg )"));
        QFile file(trk);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(QByteArray("\xFF\xFE", 2) + EncodeUtf16Le(text)) < 0)
            return false;
    }
    return true;
}

// The settings of an installation that has been set up and whose store is empty.
bool WriteDemoSettings(const QString& msts, const QString& store, const QString& standIn) {
    return RegWriteString(kMstsKey, QStringLiteral("Path"), msts) &&
           RegWriteString(kMstsKey, QStringLiteral("EXE Path"), msts) &&
           RegWriteString(kProductKey, QStringLiteral("Store Path"), store) &&
           RegWriteString(kProductKey, QStringLiteral("Last Used MSTS Folder"), msts) &&
           RegWriteString(kProductKey, QStringLiteral("MSTS EXE Path"), standIn) &&
           RegWriteString(kProductKey, QStringLiteral("Everything Unstored"),
                          QStringLiteral("true")) &&
           // The consist editor's Status filter opens on all states rather than on the items in
           // error, of which a fresh demo has none.
           RegWriteString(kProductKey + QStringLiteral("\\Filters\\Consists"),
                          QStringLiteral("StoreInd"), QStringLiteral("3"));
}

bool BuildDemo(const QString& folder, QString* error) {
    const QString mstsHost = folder + QStringLiteral("/MSTS");
    const QString storeHost = folder + QStringLiteral("/STORE");
    const QString standInHost = folder + QStringLiteral("/bin/train-standin.sh");
    for (const QString& sub : {mstsHost, storeHost, folder + QStringLiteral("/registry")})
        QDir(sub).removeRecursively();
    if (!QDir().mkpath(storeHost + QStringLiteral("/QVDATA")) ||
        !QDir().mkpath(folder + QStringLiteral("/bin")) || !WriteMstsStandIn(standInHost)) {
        *error = QStringLiteral("cannot write into ") + folder;
        return false;
    }

    MstsBuilder builder(mstsHost, storeHost);
    builder.BuildDefaultInstallation();
    LargeCounts counts;
    counts.engines = 6;
    counts.wagons = 24;
    counts.consists = 10;
    counts.paths = 12;
    counts.routes = 3;
    counts.activities = 9;
    builder.BuildLarge(counts);
    // The viewer shows the consists: a real shape on one wagon, boxes on the other vehicles.
    WriteStockShapes(builder, QStringLiteral(QUARVEL_REALDATA_DIR) +
                                  QStringLiteral("/shapes/DK10f_A1tPnt5dLft_compressed.s"));
    if (!QFileInfo::exists(
            builder.HostPath(QStringLiteral("TRAINS\\TRAINSET\\DEFAULT\\DEFAULT.WAG")))) {
        *error = QStringLiteral("cannot build the MSTS folder in ") + mstsHost;
        return false;
    }

    if (!AddRoutePictures(builder, mstsHost)) {
        *error = QStringLiteral("cannot write the route pictures in ") + mstsHost;
        return false;
    }

    AppState& app = App();
    const QString savedMsts = app.MstsRootFolder;
    const QString savedStore = app.StoreRootFolder;
    app.MstsRootFolder = ZPath(mstsHost);
    app.StoreRootFolder = ZPath(storeHost);
    const bool ok =
        WriteDemoSettings(app.MstsRootFolder, app.StoreRootFolder, ZPath(standInHost)) &&
        AddDemoLists(builder.Manifest());
    app.MstsRootFolder = savedMsts;
    app.StoreRootFolder = savedStore;
    if (!ok) {
        *error = QStringLiteral("cannot write the demo's settings and lists in ") + folder;
        return false;
    }
    QFile mark(folder + QLatin1Char('/') + kBuiltMark);
    if (!mark.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("cannot write into ") + folder;
        return false;
    }
    return true;
}

} // namespace

QString DemoFolder() {
    const QString given = qEnvironmentVariable("QUARVEL_DEMO_DIR");
    if (!given.isEmpty())
        return QDir(given).absolutePath();
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/quarvel/demo");
}

bool PrepareDemo(const QString& folder, QString* error) {
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("cannot create ") + folder;
        return false;
    }
    qputenv("QUARVEL_REGISTRY_DIR", QFile::encodeName(folder + QStringLiteral("/registry")));
    if (!QFileInfo::exists(folder + QLatin1Char('/') + kBuiltMark) && !BuildDemo(folder, error))
        return false;
    return true;
}

} // namespace qv
