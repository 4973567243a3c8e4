// The choice of the one TSECTION.DAT that MSTS reads: every route selected for a job brings its
// effective specification (its own, else the system default) with the action for the page the
// job runs from; entries whose requirements no single file can meet are counted as conflicts,
// the user's deselections are applied to the main tree, the newest suitable file is recommended,
// and after the move it is installed as <MSTS>\GLOBAL\TSECTION.DAT.
#pragma once

#include "core/itemset.h"
#include "engine/tsectionsettings.h"

#include <QString>
#include <cstdint>

namespace qv {

class ItemTree;

// One selected route's requirement.
struct ConflictInfo {
    std::int32_t Selected = 1;      // cleared for a route the user unticks in the choice dialog
    std::int32_t ConflictCount = 0; // number of other selected entries this one conflicts with
    QString RouteName;              // the route node's Description
    QString RouteFolder;
    QString RouteFile;
    QString TSectionFileName; // the effective file (full path)
    QString TSectionDescription;
    QString TSectionBuild;
    std::int32_t Action = TSA_ANY_FILE; // the effective action (TSA_...)
    bool UsesDefault = false;           // the route has no own specification
};

template <> struct RecordKind<ConflictInfo> { static constexpr int code = RK_CONFLICT; };

using ConflictList = RecordList<ConflictInfo>;

// Appends one entry per route node of the main tree that is in use (or per route node whatever
// its state, with allRoutes). Nothing is added when no system default exists. False when a
// specified file is missing or not a valid TSECTION.DAT (both are reported); the job must stop.
bool BuildTsectionEntryList(ConflictList& list, bool allRoutes);

// Negative when a's file is older than b's, 0 when equal, positive when newer: by build text
// when both have one, a file with a build is newer than one without, else by whole days between
// the files' dates.
int CompareTsectionVersions(const ConflictInfo& a, const ConflictInfo& b);

// The TSECTION conflict order: selected entries first, then more conflicts first, then older
// versions first, then the route name (without regard to case).
int CompareTsectionConflictOrder(const ConflictInfo& a, const ConflictInfo& b);

// Counts the conflicts between selected entries; true when any entry has one. With sort the list
// is put into the TSECTION conflict order.
bool FindTsectionConflicts(ConflictList& list, bool sort);

// The index of the entry whose file is to be installed, or -1 when a conflict remains or nothing
// is selected.
int RecommendedTsectionEntry(const ConflictList& list);

// Marks the route node of each entry unticked in the choice dialog (TheUi().
// ResolveTsectionConflicts) as stored (through the Easy services' MarkSelectedNode,
// as the user's own marking does). An entry whose node is no longer in the tree is reported in
// the information pane and makes the result false; the other entries are still applied.
bool ApplyTsectionChoice(ItemTree& tree, const ConflictList& list);

// Installs the file as <MSTS>\GLOBAL\TSECTION.DAT, keeping its file date. The file is written
// beside the target and renamed into place, so a failure leaves MSTS's file as it was; it is
// then reported in the information pane and in a stop box, and the result is false.
bool InstallTsectionFile(const QString& file);

} // namespace qv
