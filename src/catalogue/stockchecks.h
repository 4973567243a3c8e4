// The name checks of engines, wagons and consists. MSTS knows these files by the names written
// inside them as well as by their file names; where the two differ it fails to start or reload an
// activity, or leaves a consist out of its Explore list. The store survey reports such files and
// puts them on its error list; the consist reader keeps a driveable consist's leading-engine flag
// current through the lead-engine check.
#pragma once

#include "catalogue/stockrecords.h"

namespace qv {

class ReportPane;
class StringList;
class ListedOnDemand;
struct AheadFile;
struct StoreIniHolder;

// Reads each stock path of stockNames (<folder>\<file>, relative to TRAINS\TRAINSET) from the
// store, else from the MSTS folder. A missing one is reported as an error, added to errors and
// deleted from stockNames; a found one's folder goes to folders. An engine whose Wagon name
// differs from its file name is an error (always listed); a wagon's is a warning, listed unless
// suppressWarnings. False when a file was missing or an engine was in error. The files' dates are
// taken from their folders' listings, made in `stockDates` (relative to the trainset folder; one
// of the check's own when none is given) unless it holds them already.
bool CheckStockNames(StringList& stockNames, StoreIniHolder& stockCache, StringList& folders,
                     StringList& errors, ReportPane* pane, bool suppressWarnings,
                     ListedOnDemand* stockDates = nullptr);

// Reports the warnings about a consist that ReadConsistFile has just read (a TrainCfg name that
// differs from its file name; a driveable consist whose leading engine has no cab view, or whose
// engine reference differs from the engine's own name) and, unless suppressWarnings, lists the
// leading engine and the consist file in errors.
void CheckConsistNames(const ItemSet& item, const ConsistInfo& consist, ReportPane* pane,
                       StringList& errors, bool suppressWarnings);

// Parses the consist's leading engine (store first, then the MSTS folder) and sets
// PT_ENGINE_REF_DIFFERS when its Engine block name differs, in any way, from its file name, or
// clears it when they are equal; sets RewriteSection when that changes the bit the consist cache
// holds. Nothing changes when the engine is in neither folder. `leadEngine` (when given) is the
// engine's file as asked ahead of the check; `stockDates` (when given) finds the engine in the
// listing of its folder, which it makes when it has none yet.
void CheckLeadEngine(ConsistInfo& consist, StoreIniHolder& consistCache, StoreIniHolder& stockCache,
                     const AheadFile* leadEngine = nullptr, ListedOnDemand* stockDates = nullptr);

} // namespace qv
