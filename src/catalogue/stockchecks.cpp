#include "catalogue/stockchecks.h"

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

// Reads a stock file from the store, else from the MSTS folder; a file asked ahead stands for
// asking it. False when neither root has it.
bool ReadStockFromAnyRoot(const ItemSet& item, StockInfo& info, StoreIniHolder& stockCache,
                          const AheadFile* ahead = nullptr) {
    return ReadStockFromEitherRoot(item, info, stockCache, nullptr, ahead) != -1;
}

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
                     StringList& errors, ReportPane* pane, bool suppressWarnings) {
    bool result = true;
    ItemSet item;
    item.Folder = kTrainsetFolder;
    // The cached bits are all this check needs, so a current section spares the file.
    StockInfo info;
    int i = 0;
    while (i < stockNames.Count()) {
        const QString name = stockNames[i];
        item.FileName = name;
        if (!ReadStockFromAnyRoot(item, info, stockCache)) {
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
                     const AheadFile* leadEngine) {
    ItemSet item;
    item.Folder = kTrainsetFolder;
    item.FileName = consist.LeadEngine;
    // The Engine block's name is not cached, so the engine file itself is parsed.
    StockInfo engine;
    engine.SkipCache = true;
    if (!ReadStockFromAnyRoot(item, engine, stockCache, leadEngine))
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
