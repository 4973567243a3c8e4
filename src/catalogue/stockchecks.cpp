#include "catalogue/stockchecks.h"

#include "catalogue/listedondemand.h"
#include "catalogue/mststext.h"
#include "catalogue/stockreader.h"
#include "core/appstate.h"
#include "core/generaldefs.h"
#include "core/report.h"
#include "core/storeini.h"
#include "core/stringlist.h"

namespace qv {

namespace {

const QString kTrainsetFolder = QStringLiteral("TRAINS\\TRAINSET");

QString WagonNameDiffersText() {
    return Caption(Msg::DIFFERENT_PARAM_LEG1) + QStringLiteral("Wagon") +
           Caption(Msg::DIFFERENT_PARAM_LEG2) + Caption(Msg::SHOULD_BE_IDENTICAL_LEG);
}

QString ConsistFileLine(const ConsistInfo& consist) {
    return Caption(Msg::TYPE_CONSIST_LEG) + u' ' + Caption(Msg::FILE_TAG) + QStringLiteral(" '") +
           consist.FileName + u'\'';
}

} // namespace

bool CheckStockNames(StringList& stockNames, StoreIniHolder& stockCache, StringList& folders,
                     StringList& errors, ReportPane* pane, bool suppressWarnings,
                     ListedOnDemand* stockDates) {
    bool result = true;
    ItemSet item;
    item.Folder = kTrainsetFolder;
    // Thousands of engines and wagons, a few to a folder: each one's date is found in its
    // folder's listing, the folders listed together.
    ListedOnDemand ownDates(kTrainsetBase);
    ListedOnDemand& dates = stockDates ? *stockDates : ownDates;
    dates.ListFoldersOf(stockNames);
    // The cached bits are all this check needs, so a current section spares the file.
    StockInfo info;
    int i = 0;
    while (i < stockNames.Count()) {
        const QString name = stockNames[i];
        item.FileName = name;
        if (ReadStockFromEitherRoot(item, info, stockCache, dates.For(name)) == -1) {
            Report(RL_ERROR, nullptr,
                   Caption(Msg::GENERAL_NOT_FOUND1) + Caption(Msg::GENERAL_NOT_FOUND3) + name +
                       u'\'',
                   pane);
            errors.Add(name);
            stockNames.Delete(i);
            result = false;
            continue;
        }
        item.Description = info.Name;
        const qsizetype slash = name.lastIndexOf(u'\\');
        if (slash >= 0)
            folders.Add(name.left(slash));
        if (info.PType & PT_NAME_DIFFERS) {
            if (info.PType & PT_ENGINE) {
                Report(RL_ERROR, &item,
                       WagonNameDiffersText() + Caption(Msg::LOAD_ERROR_NOTIFY_LEG1) + u' ' +
                           Caption(Msg::LOAD_ERROR_NOTIFY_LEG2),
                       pane);
                errors.Add(name);
                result = false;
            } else {
                Report(RL_WARNING, &item,
                       WagonNameDiffersText() + Caption(Msg::RELOAD_ERROR_NOTIFY_LEG), pane);
                if (!suppressWarnings)
                    errors.Add(name);
            }
        }
        ++i;
    }
    return result;
}

void CheckConsistNames(const ItemSet& item, const ConsistInfo& consist, ReportPane* pane,
                       StringList& errors, bool suppressWarnings) {
    bool found = false;
    if (consist.PType & PT_NAME_DIFFERS) {
        const QString base = FileBaseName(consist.FileName);
        Report(RL_WARNING, nullptr,
               Caption(Msg::DIFFERENT_PARAM_LEG1) + QStringLiteral("Train_Config ") +
                   Caption(Msg::DIFFERENT_PARAM_LEG2) + Caption(Msg::SHOULD_BE_IDENTICAL_LEG) +
                   Caption(Msg::RELOAD_ERROR_NOTIFY_LEG) + u' ' +
                   Caption(Msg::LOAD_ERROR_NOTIFY_LEG2) + u'\n' + ConsistFileLine(consist) +
                   QStringLiteral("\n    '") + consist.TrainCfgName + QStringLiteral("' <> '") +
                   base + u'\'',
               pane);
        found = true;
    }
    if (consist.PType & PT_DRIVEABLE) {
        bool leadFinding = true;
        if (consist.PType & PT_LEAD_NO_CABVIEW) {
            Report(RL_WARNING, &item,
                   Caption(Msg::DRIVEABLE_NO_CABVIEW) + u'\n' + Caption(Msg::LOCOMOTIVE_NAME_TAG) +
                       QStringLiteral(": ") + consist.EngineName + QStringLiteral(" (** ") +
                       Caption(Msg::NO_CABVIEW_TAG) + QStringLiteral(" **)"),
                   pane);
        } else if (consist.PType & PT_ENGINE_REF_DIFFERS) {
            Report(RL_WARNING, nullptr,
                   Caption(Msg::DIFFERENT_CON_ENGINE_PARAM_LEG) + u'\r' +
                       Caption(Msg::SHOULD_BE_IDENTICAL_LEG) +
                       Caption(Msg::LOAD_CON_ERROR_NOTIFY_LEG) + u'\n' + ConsistFileLine(consist) +
                       u'\n' + Caption(Msg::TYPE_ENGINE_LEG) + u' ' + Caption(Msg::FILE_TAG) +
                       QStringLiteral(" '") + consist.LeadEngine + u'\'',
                   pane);
        } else {
            leadFinding = false;
        }
        if (leadFinding && !suppressWarnings)
            errors.Add(consist.LeadEngine);
        found = found || leadFinding;
    }
    if (found && !suppressWarnings)
        errors.Add(consist.FileName);
}

void CheckLeadEngine(ConsistInfo& consist, StoreIniHolder& consistCache, StoreIniHolder& stockCache,
                     const AheadFile* leadEngine, ListedOnDemand* stockDates) {
    ItemSet item;
    item.Folder = kTrainsetFolder;
    item.FileName = consist.LeadEngine;
    // The Engine block's name is not cached, so the engine file itself is parsed.
    StockInfo engine;
    engine.SkipCache = true;
    const ListedFileDates* listed = stockDates ? stockDates->For(item.FileName) : nullptr;
    if (ReadStockFromEitherRoot(item, engine, stockCache, listed, leadEngine) == -1)
        return;
    if (FileBaseName(consist.LeadEngine) != engine.EngineName)
        consist.PType |= PT_ENGINE_REF_DIFFERS;
    else
        consist.PType &= ~PT_ENGINE_REF_DIFFERS;
    const auto cached =
        std::uint32_t(consistCache.Ini.ReadInteger(consist.FileName, QStringLiteral("PType"), 0));
    if ((cached ^ consist.PType) & PT_ENGINE_REF_DIFFERS)
        consist.RewriteSection = true;
}

} // namespace qv
