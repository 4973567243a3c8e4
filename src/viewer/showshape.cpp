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
#include "platform/ui.h"
#include "platform/winfs.h"
#include "platform/winresolve.h"

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

// Reads the vehicle's own file (never the cache, whose sections keep only its name and bits)
// into a fresh record; the root that holds it, or empty when neither does. A name that leads out
// of the trainset is reported with the file that names it and never read.
QString ReadVehicle(const QString& name, const QString& namingFile, StockInfo& info,
                    StoreIniHolder& stockCache) {
    if (NameInside(kTrainset, name).isEmpty()) {
        ReportRefusedName(name, namingFile, TheMainServices().InformationMemo());
        return QString();
    }
    ItemSet vehicle;
    vehicle.Folder = kTrainset;
    vehicle.FileName = name;
    info = StockInfo();
    info.SkipCache = true;
    const std::int32_t where = ReadStockFromEitherRoot(vehicle, info, stockCache);
    if (where == SI_IN_STORE)
        return App().StoreRootFolder;
    if (where == SI_IN_USE)
        return App().MstsRootFolder;
    return QString();
}

// The readers name each consist and vehicle they read in the status bar; once the shapes are
// known the names go, so that none stays behind after the viewer has opened.
struct ReadStatusCleared {
    ReadStatusCleared() = default;
    ReadStatusCleared(const ReadStatusCleared&) = delete;
    ReadStatusCleared& operator=(const ReadStatusCleared&) = delete;
    ~ReadStatusCleared() { SetStatusDetail(QString()); }
};

// <root>\TRAINS\TRAINSET\<folder of the vehicle>\<shape>, or empty for no shape; a shape name that
// leads out of the trainset is reported with the vehicle's file.
QString ShapeIn(const QString& root, const QString& vehicle, const QString& shape) {
    const QString name = shape.trimmed();
    if (name.isEmpty())
        return QString();
    const QString path = ContentPath(root, kTrainset, FolderPart(vehicle) + name);
    if (path.isEmpty())
        ReportRefusedName(name, kTrainset + u'\\' + vehicle, TheMainServices().InformationMemo());
    return path;
}

} // namespace

void SetViewerWindowOpener(ViewerWindowOpener opener) {
    Opener() = std::move(opener);
}

std::unique_ptr<SVIEWHeaderInfo> BuildViewerHeader(const ItemSet& item) {
    const ReadStatusCleared cleared;
    const AppState& app = App();
    auto header = NewSviewHeaderInfo();
    header->Title = item.Description;
    StringList names;
    if (item.PType & PT_MASK_CONSIST_RELATED) {
        const QString consists = QStringLiteral("TRAINS\\CONSISTS");
        if (CheckedContentPath(QString(), consists, item.FileName, QString(),
                               TheMainServices().InformationMemo())
                .isEmpty())
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
        if (!read)
            return nullptr;
    } else {
        header->Models.push_back(NewSviewModelInfo());
        names.Add(item.FileName);
    }
    auto stockCache = OpenStoreIni(CacheFileName(QStringLiteral("CACHESTK")));
    if (!stockCache)
        return nullptr;
    bool anyFound = false;
    const int count = std::min(names.Count(), int(header->Models.size()));
    for (int i = 0; i < count; ++i) {
        StockInfo info;
        const QString naming = item.PType & PT_MASK_CONSIST_RELATED
                                   ? QStringLiteral("TRAINS\\CONSISTS\\") + item.FileName
                                   : QString();
        const QString root = ReadVehicle(names[i], naming, info, *stockCache);
        if (root.isEmpty())
            continue;
        anyFound = true;
        SVIEWModelInfo& model = *header->Models[size_t(i)];
        model.Shape = ShapeIn(root, names[i], info.WagonShape);
        model.SecondShape = ShapeIn(root, names[i], info.FreightAnim);
        model.Length = std::isfinite(info.Size) && info.Size > 0 ? info.Size : 0.0;
    }
    CloseStoreIni(std::move(stockCache));
    if (!anyFound)
        return nullptr;
    return header;
}

QString SviewShapePath(const ItemSet& item) {
    const ReadStatusCleared cleared;
    auto stockCache = OpenStoreIni(CacheFileName(QStringLiteral("CACHESTK")));
    if (!stockCache)
        return QString();
    StockInfo info;
    const QString root = ReadVehicle(item.FileName, QString(), info, *stockCache);
    CloseStoreIni(std::move(stockCache));
    return root.isEmpty() ? QString() : ShapeIn(root, item.FileName, info.WagonShape);
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
            TheUi().MessageBox(QStringLiteral("The folder '%1' could not be created: %2")
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
