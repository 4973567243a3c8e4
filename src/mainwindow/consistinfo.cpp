// The consist and stock sections of the item information report. Both parse the files themselves
// rather than trust a cache section: a consist with its locomotive, the two faults MSTS trips over,
// its lot number and its vehicles; an engine or wagon with its kind, lot number, description and,
// for an engine, the other stock folders whose sound or cab-view files it borrows.

#include "mainwindow/iteminfo.h"

#include "catalogue/consistreader.h"
#include "catalogue/stockdeps.h"
#include "catalogue/stockreader.h"
#include "core/appstate.h"
#include "core/comparetext.h"
#include "core/contentpath.h"
#include "core/generaldefs.h"
#include "core/itemkinds.h"
#include "core/itemset.h"
#include "core/report.h"
#include "core/reportpane.h"
#include "core/storeini.h"
#include "core/stringlist.h"
#include "platform/winfs.h"

namespace qv {

namespace {

const QString kFourBlanks = QStringLiteral("    ");
// The initials of the program before its lot-number caption, with one blank.
const QString kLotPrefix = QStringLiteral("Q.V. ");

// What stands after the locomotive's name when MSTS would stumble over a driveable consist.
QString LocomotiveWarning(std::uint32_t ptype) {
    if ((ptype & PT_LEAD_NO_CABVIEW) && (ptype & PT_DRIVEABLE))
        return QStringLiteral(" (** ") + Caption(Msg::NO_CABVIEW_TAG) + QStringLiteral(" **)");
    if ((ptype & PT_NAME_DIFFERS) && (ptype & PT_DRIVEABLE))
        return QStringLiteral(" (** 'TrainCfg' ") + Caption(Msg::ERROR_LEG) +
               QStringLiteral(" **)");
    return QString();
}

// Adds the folders outside the engine's own that one of its sound or cab-view files leads to.
void AddAliasesOf(const QString& file, const QString& root, const QString& otherRoot,
                  StringList& aliases) {
    if (CompareText(file.right(4), QStringLiteral(".SMS")) != 0)
        ReadCabViewDependencies(root, file, otherRoot, aliases, true);
    else
        ReadSoundDependencies(root, file, otherRoot, aliases, false, true);
}

} // namespace

void WriteConsistInfo(const ItemSet& item, ReportPane* pane) {
    auto consistCache = OpenStoreIni(CacheFileName(QStringLiteral("CACHECON")));
    auto stockCache = OpenStoreIni(CacheFileName(QStringLiteral("CACHESTK")));
    ConsistInfo consist;
    consist.SkipCache = true;
    StringList contents;
    bool read = ReadConsistFile(App().StoreRootFolder, item, consist, *consistCache, *stockCache,
                                &contents);
    if (!read) {
        consist = ConsistInfo();
        consist.SkipCache = true;
        contents.Clear();
        read = ReadConsistFile(App().MstsRootFolder, item, consist, *consistCache, *stockCache,
                               &contents);
    }
    WriteReportHeading(read ? consist.Description : item.Description, pane);
    pane->AddLine(ItemInfoLabel(Msg::TREE_HEADING_FILE_NAME) + item.FileName);
    pane->AddLine(QString());
    if (read) {
        pane->AddLine(ItemTypeLine(consist.PType, true));
        pane->AddLine(QString());
        if (!consist.EngineName.isEmpty()) {
            pane->AddLine(ItemInfoLabel(Msg::LOCOMOTIVE_NAME_TAG) + consist.EngineName +
                          LocomotiveWarning(consist.PType));
            pane->AddLine(QString());
        }
        if (!consist.LotNumber.isEmpty()) {
            pane->AddLine(kLotPrefix + ItemInfoLabel(Msg::TREE_HEADING_LOT_NUMBER) +
                          consist.LotNumber);
            pane->AddLine(QString());
        }
        pane->AddLine(Caption(Msg::TREE_HEADING_CONTENTS) + QLatin1Char(':'));
        ItemSet vehicle;
        vehicle.Folder = QStringLiteral("TRAINS\\TRAINSET");
        for (int i = 0; i < contents.Count(); ++i) {
            vehicle.FileName = contents[i];
            StockInfo stock;
            stock.SkipCache = true;
            bool found = ReadStockFile(App().MstsRootFolder, vehicle, stock, *stockCache);
            if (!found) {
                stock = StockInfo();
                stock.SkipCache = true;
                found = ReadStockFile(App().StoreRootFolder, vehicle, stock, *stockCache);
            }
            const QString name = found ? stock.Name : Caption(Msg::TYPE_UNKNOWN_LEG);
            pane->AddLine(kFourBlanks + NameAndFileName(name, contents[i]));
            if (NameInside(vehicle.Folder, contents[i]).isEmpty())
                AppendRichEditLines(
                    pane,
                    RefusedNameText(contents[i],
                                    QStringLiteral("TRAINS\\CONSISTS\\") + item.FileName),
                    false);
        }
    }
    CloseStoreIni(std::move(consistCache));
    CloseStoreIni(std::move(stockCache));
}

void WriteStockInfo(const ItemSet& item, ReportPane* pane) {
    auto stockCache = OpenStoreIni(CacheFileName(QStringLiteral("CACHESTK")));
    ItemSet working;
    working.Folder = item.Folder;
    working.FileName = item.FileName;
    StockInfo stock;
    stock.SkipCache = true;
    QString primary = App().StoreRootFolder;
    QString other = App().MstsRootFolder;
    bool read = ReadStockFile(primary, working, stock, *stockCache);
    if (!read) {
        std::swap(primary, other);
        stock = StockInfo();
        stock.SkipCache = true;
        read = ReadStockFile(primary, working, stock, *stockCache);
    }
    StringList referencedFiles = StringList::SortedUnique();
    StringList aliasFolders = StringList::SortedUnique();
    // ReadStockFile refuses a name that leads out of the trainset.
    if (read && (stock.PType & PT_ENGINE))
        ReadStockDependencies(primary, QStringLiteral("TRAINS\\TRAINSET\\") + item.FileName, other,
                              referencedFiles, aliasFolders, true);

    WriteReportHeading(read ? stock.Name : item.Description, pane);
    if (NameInside(QStringLiteral("TRAINS\\TRAINSET"), item.FileName).isEmpty())
        AppendRichEditLines(pane, RefusedNameText(item.FileName, QString()), false);
    pane->AddLine(Caption(Msg::TREE_HEADING_FOLDER) + QStringLiteral(":   ") +
                  ParentPath(item.FileName));
    pane->AddLine(QString());
    pane->AddLine(ItemInfoLabel(Msg::TREE_HEADING_FILE_NAME) + LastPathComponent(item.FileName));
    pane->AddLine(QString());
    if (read) {
        pane->AddLine(ItemTypeLine(stock.PType, false));
        pane->AddLine(QString());
        if (!stock.LotNumber.isEmpty()) {
            pane->AddLine(kLotPrefix + ItemInfoLabel(Msg::TREE_HEADING_LOT_NUMBER) +
                          stock.LotNumber);
            pane->AddLine(QString());
        }
        AppendRichEditLines(pane, ItemInfoLabel(Msg::TREE_HEADING_DESCRIPTION) + stock.Description,
                            true);
        pane->AddLine(QString());
    }

    const QString msts = App().MstsRootFolder;
    const QString store = App().StoreRootFolder;
    for (int i = 0; i < referencedFiles.Count(); ++i) {
        const QString& file = referencedFiles[i];
        if (FileExists(msts + QLatin1Char('\\') + file))
            AddAliasesOf(file, msts, store, aliasFolders);
        else if (FileExists(store + QLatin1Char('\\') + file))
            AddAliasesOf(file, store, msts, aliasFolders);
    }
    if (aliasFolders.Count() > 0) {
        pane->AddLine(Caption(Msg::TREE_HEADING_ALIASES) + QLatin1Char(':'));
        pane->AddLine(QString());
        for (int i = 0; i < aliasFolders.Count(); ++i)
            pane->AddLine(kFourBlanks + aliasFolders[i]);
    }
    CloseStoreIni(std::move(stockCache));
}

} // namespace qv
