#include "viewer/showshape.h"

#include "catalogue/stockreader.h"
#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/contentpath.h"
#include "core/controlhelpers.h"
#include "core/folders.h"
#include "core/generaldefs.h"
#include "core/itemset.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/report.h"
#include "core/status.h"
#include "core/storeini.h"
#include "core/stringlist.h"
#include "easy/launchprogram.h"
#include "platform/casefold.h"
#include "platform/ui.h"
#include "platform/winfs.h"
#include "platform/winresolve.h"

#include <QCoreApplication>
#include <QHash>
#include <cmath>

namespace qv {

namespace {

ViewerWindowOpener& Opener() {
    static ViewerWindowOpener opener;
    return opener;
}

QString FolderPart(const QString& path) {
    return path.left(path.lastIndexOf(QLatin1Char('\\')) + 1);
}

const QString kTrainset = QStringLiteral("TRAINS\\TRAINSET");

// What one vehicle file gives the viewer. A consist that names one wagon many times has it read
// once.
struct VehicleShapes {
    bool found = false;
    QString shape;
    QString secondShape;
    double length = 0;
};

// <MSTS folder>\TRAINS\TRAINSET\<folder of the vehicle>\<shape>, or empty for no shape. The shape
// stays in the MSTS folder when the vehicle is stored: only its engine or wagon file moves. A
// shape name that leads out of the trainset is reported with the vehicle's file.
QString ShapeIn(const QString& vehicle, const QString& shape) {
    const QString name = shape.trimmed();
    if (name.isEmpty())
        return QString();
    const QString path = ContentPath(App().MstsRootFolder, kTrainset, FolderPart(vehicle) + name);
    if (path.isEmpty())
        ReportRefusedName(name, kTrainset + u'\\' + vehicle, TheMainServices().InformationMemo());
    return path;
}

// Reads the vehicle's own file (never the cache, whose sections keep only its name and bits),
// from the store, else from the MSTS folder. A name that leads out of the trainset is reported
// with the file that names it and never read.
VehicleShapes ReadVehicle(const QString& name, const QString& namingFile, FileReports& reports,
                          StoreIniHolder& stockCache) {
    VehicleShapes vehicle;
    if (NameInside(kTrainset, name).isEmpty()) {
        reports.Add(FoldCase(name), RefusedNameText(name, namingFile));
        return vehicle;
    }
    ItemSet item;
    item.Folder = kTrainset;
    item.FileName = name;
    StockInfo info;
    info.SkipCache = true;
    if (ReadStockFromEitherRoot(item, info, stockCache) == -1)
        return vehicle;
    vehicle.found = true;
    vehicle.shape = ShapeIn(name, info.WagonShape);
    vehicle.secondShape = ShapeIn(name, info.FreightAnim);
    vehicle.length = std::isfinite(info.Size) && info.Size > 0 ? info.Size : 0.0;
    return vehicle;
}

// The readers name each consist and vehicle they read in the status bar; once the shapes are
// known the names go, so that none stays behind after the viewer has opened.
struct ReadStatusCleared {
    ReadStatusCleared() = default;
    ReadStatusCleared(const ReadStatusCleared&) = delete;
    ReadStatusCleared& operator=(const ReadStatusCleared&) = delete;
    ~ReadStatusCleared() { SetStatusDetail(QString()); }
};

} // namespace

void SetViewerWindowOpener(ViewerWindowOpener opener) {
    Opener() = std::move(opener);
}

std::unique_ptr<SVIEWHeaderInfo> BuildViewerHeader(const ItemSet& item) {
    const ReadStatusCleared cleared;
    const AppState& app = App();
    ReportPane* pane = TheMainServices().InformationMemo();
    auto header = NewSviewHeaderInfo();
    header->Title = item.Description;
    StringList names;
    const bool consist = item.PType & PT_MASK_CONSIST_RELATED;
    const QString consists = QStringLiteral("TRAINS\\CONSISTS");
    const QString naming = consist ? consists + u'\\' + item.FileName : QString();
    if (consist) {
        if (CheckedContentPath(QString(), consists, item.FileName, QString(), pane).isEmpty())
            return nullptr;
        bool read = false;
        for (const QString& root : {app.StoreRootFolder, app.MstsRootFolder}) {
            // A root that is not set up is no folder at all.
            if (root.isEmpty())
                continue;
            names.Clear();
            header->Models.clear();
            read = ReadConsistVehicles(ContentPath(root, consists, item.FileName), &names,
                                       &header->Models);
            if (read)
                break;
        }
        if (!read) {
            // Missing, or naming no vehicle: the viewer says why it does not open.
            Report(RL_ERROR, nullptr,
                   Caption(Msg::GENERAL_NOT_FOUND0) + Caption(Msg::GENERAL_NOT_FOUND3) + naming +
                       QLatin1Char('\''),
                   pane);
            return nullptr;
        }
    } else {
        header->Models.push_back(NewSviewModelInfo());
        names.Add(item.FileName);
    }
    auto stockCache = OpenStoreIni(CacheFileName(QStringLiteral("CACHESTK")));
    if (!stockCache)
        return nullptr;
    FileReports reports(naming, pane);
    QHash<QString, VehicleShapes> read; // by the vehicle's name, folded
    QStringList missing;
    bool anyFound = false;
    const int count = std::min(names.Count(), int(header->Models.size()));
    for (int i = 0; i < count; ++i) {
        const QString key = FoldCase(names[i]);
        auto known = read.constFind(key);
        if (known == read.cend()) {
            known = read.insert(key, ReadVehicle(names[i], naming, reports, *stockCache));
            if (!known->found)
                missing << names[i];
        }
        if (!known->found)
            continue;
        anyFound = true;
        SVIEWModelInfo& model = *header->Models[size_t(i)];
        model.Shape = known->shape;
        model.SecondShape = known->secondShape;
        model.Length = known->length;
    }
    CloseStoreIni(std::move(stockCache));
    if (!anyFound) {
        // Nothing to show: the viewer says which vehicle files it did not find.
        for (const QString& name : missing)
            reports.Add(FoldCase(name), MissingFileText(kTrainset + u'\\' + name, naming));
    }
    reports.Close();
    if (!anyFound)
        return nullptr;
    return header;
}

QString SviewShapePath(const ItemSet& item) {
    const ReadStatusCleared cleared;
    auto stockCache = OpenStoreIni(CacheFileName(QStringLiteral("CACHESTK")));
    if (!stockCache)
        return QString();
    FileReports reports(QString(), TheMainServices().InformationMemo());
    const VehicleShapes vehicle = ReadVehicle(item.FileName, QString(), reports, *stockCache);
    CloseStoreIni(std::move(stockCache));
    return vehicle.shape;
}

namespace {

bool OwnViewerOn() {
    const AppState& app = App();
    return !ReadFlag(QStringLiteral("Use SVIEW")) && !app.NoViewerFile &&
           app.ViewerControlRegistered;
}

} // namespace

bool ShapeViewerOffered(const ItemSet& item) {
    return OwnViewerOn() ||
           (!App().ShapeViewerPath.isEmpty() && (item.PType & PT_MASK_STOCK_RELATED));
}

void ShowShape(const ItemSet& item) {
    const AppState& app = App();
    if (OwnViewerOn()) {
        auto header = BuildViewerHeader(item);
        if (header && Opener())
            Opener()(std::move(header));
        return;
    }
    if (app.ShapeViewerPath.isEmpty() || !(item.PType & PT_MASK_STOCK_RELATED))
        return;
    const QString shape = SviewShapePath(item);
    if (shape.isEmpty())
        return;
    // Quoted, so that a folder with blanks reaches SVIEW as one argument.
    LaunchProgram(app.ShapeViewerPath, QLatin1Char('"') + shape + QLatin1Char('"'), QString(),
                  false, false, true);
}

void UseSviewCommand(bool checked) {
    WriteFlag(checked, QStringLiteral("Use SVIEW"));
}

void ViewerScreenshotFolderCommand() {
    AppState& app = App();
    const QString folder =
        SelectFolder(app.ScreenshotFolder, Caption(Msg::SELECT_MSTS_FOLDER_TAG12),
                     Caption(Msg::SELECT_MSTS_FOLDER_TAG7));
    if (folder.isEmpty())
        return;
    if (IsInsideFolder(folder, app.StoreRootFolder, true)) {
        TheUi().MessageBox(Caption(Msg::PATH_INCLUDED_LEG), app.ProgramTitle, MB_ICONEXCLAMATION);
        return;
    }
    if (!FolderExists(folder)) {
        if (TheUi().MessageBox(Caption(Msg::CREATE_DIR_LEG1) + folder +
                                   Caption(Msg::CREATE_DIR_LEG2),
                               app.ProgramTitle, MB_YESNO) != ID_YES)
            return;
        int error = 0;
        if (!ForceFolders(folder, &error)) {
            TheUi().MessageBox(
                QCoreApplication::translate("Viewer", "The folder '%1' could not be created: %2")
                    .arg(folder, FsErrorText(error)),
                app.ProgramTitle, MB_ICONSTOP);
            return;
        }
    }
    if (!FolderExists(folder))
        return;
    RegWriteString(kProductKey, QStringLiteral("screenshotLocation"), folder);
    // The viewers take the new folder at once, not only after a restart.
    app.ScreenshotFolder = folder;
}

} // namespace qv
