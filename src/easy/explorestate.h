// The program-wide state of the Explore session being set up or reloaded: its record, the tree
// item and parsed copy of the activity whose traffic and loose consists it takes, and where the
// generated activity's Mode line lies, so that the line can be patched while MSTS runs.
#pragma once

#include "catalogue/activityreader.h"
#include "core/exploresaveinfo.h"
#include "core/itemset.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace qv {

// The name that the transient Explore activity and service, and MSTS's saves of the session,
// begin with.
inline const QString kExploreTempPrefix = QStringLiteral("QV_~TEMP");
// The empty file beside the transient activity that MSTS removes when it takes the session up.
inline const QString kExplorerMarker = QStringLiteral("EXPLORER.ACT");

struct ExploreState {
    // The pending or reloaded session; save number -1 while no saved session is loaded.
    ExploreActivitySaveInfo CurrentExploreRecord;
    // A copy of the tree item of the session's source activity, so that it outlives a reload of
    // the tree; empty when no Explore session is pending.
    std::optional<ItemSet> ExploreSourceActivity;
    // The source activity as read from its file.
    ActivityInfo ExploreTemplateActivity;
    // Byte offset of the Mode line in the last generated activity (byte-order mark included), and
    // that line as it must read once MSTS has started the session (every "2" made "1").
    std::int32_t ExploreModeLinePosition = 0;
    QString ExploreModeLineText;
};

ExploreState& Explore();
// Puts the state back as the program starts with it.
void ResetExploreState();

// The record a store job reads as "the Explore session set up": the current record while an
// Explore session is pending (a source activity is set) or while the Easy page shows its Explore
// tab; otherwise null. The main window's Easy services hand it out as CurrentExploreRecord().
const ExploreActivitySaveInfo* ExploreRecordInForce();

} // namespace qv
