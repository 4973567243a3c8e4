#include "engine/aliasscan.h"

#include "catalogue/stockdeps.h"
#include "core/appstate.h"
#include "core/filefind.h"
#include "core/generaldefs.h"
#include "core/mainservices.h"
#include "core/regsettings.h"
#include "core/report.h"
#include "core/status.h"
#include "core/stringlist.h"
#include "platform/winfs.h"

namespace qv {

namespace {

const QString kTrainsetFolder = QStringLiteral("TRAINS\\TRAINSET");

// Reads every engine and wagon of one root for its aliases; the sound and cab-view files that the
// stock names in its own folders are collected in `dependencies` for reading afterwards, once
// each, whichever root holds them.
void ScanStockOfRoot(const QString& root, const QString& otherRoot, StringList& result,
                     StringList& dependencies) {
    if (root.isEmpty())
        return;
    StringList folders = StringList::SortedUnique();
    StringList stockFiles = StringList::SortedUnique();
    FindFiles(folders, root + QLatin1Char('\\') + kTrainsetFolder, true, kTrainsetFolder,
              QStringLiteral("*.*"));
    for (int i = 0; i < folders.Count(); ++i) {
        const QString folder = root + QLatin1Char('\\') + folders[i];
        FindFiles(stockFiles, folder, false, folders[i], QStringLiteral("*.WAG"));
        FindFiles(stockFiles, folder, false, folders[i], QStringLiteral("*.ENG"));
    }
    for (int i = 0; i < stockFiles.Count(); ++i)
        ReadStockDependencies(root, stockFiles[i], otherRoot, dependencies, result, false);
}

} // namespace

void ScanAliasTargets(StringList& result) {
    const QString msts = App().MstsRootFolder;
    const QString store = App().StoreRootFolder;
    ReportPane* pane = TheMainServices().InformationMemo();
    ClearReport(pane);
    StringList dependencies = StringList::SortedUnique();

    SetStatusDetail(Caption(Msg::STATUS_TEXT_BUILDING_FILE_LIST));
    {
        StatusGuard status(QStringLiteral("ALIASI"));
        ScanStockOfRoot(msts, store, result, dependencies);
    }
    SetStatusDetail(Caption(Msg::STATUS_TEXT_BUILDING_FILE_LIST));
    StatusGuard status(QStringLiteral("ALIASS"));
    ScanStockOfRoot(store, msts, result, dependencies);

    const bool strict = ReadFlag(QStringLiteral("Strict SMS Checking"));
    for (int i = 0; i < dependencies.Count(); ++i) {
        const QString& file = dependencies[i];
        QString root;
        QString otherRoot;
        if (FileExists(msts + QLatin1Char('\\') + file)) {
            root = msts;
            otherRoot = store;
        } else if (!store.isEmpty() && FileExists(store + QLatin1Char('\\') + file)) {
            root = store;
            otherRoot = msts;
        } else {
            Report(RL_ERROR, nullptr,
                   Caption(Msg::GENERAL_NOT_FOUND1) + Caption(Msg::GENERAL_NOT_FOUND3) + file +
                       QLatin1Char('\''),
                   pane);
            continue;
        }
        if (file.endsWith(QStringLiteral(".SMS"), Qt::CaseInsensitive))
            ReadSoundDependencies(root, file, otherRoot, result, strict, false);
        else
            ReadCabViewDependencies(root, file, otherRoot, result, false);
    }
}

} // namespace qv
