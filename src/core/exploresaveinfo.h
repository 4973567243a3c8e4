// One Explore session, pending or saved in MSTS: the source activity whose traffic and loose
// consists it takes, the consist and player path chosen, and the start time, season and weather.
// The record lives here, below the engine, because a store job reads the current session's consist
// and path and its save number; the Easy mode keeps the program-wide instance and records saved
// sessions in the route's "SAVES.QVC".
#pragma once

#include "core/itemset.h"

#include <QDateTime>
#include <QString>
#include <QTime>
#include <cstdint>

namespace qv {

struct ExploreActivitySaveInfo {
    // 1..998 once the session is recorded; negative (-1) while it has no number.
    std::int32_t SaveNumber = -1;
    QString Name;   // the source activity's name
    QString Folder; // the source activity's folder, relative to a root (Routes\<route>\Activities)
    QString FileName; // the source activity's file name, with its extension
    // The date of the session's MSTS save file; filled when saved sessions are listed, never
    // stored with the record.
    QDateTime SaveDate;
    QString ConsistFileName;    // with its extension
    QString PlayerPathFileName; // <path folder>\<path file>, with its extension
    bool LooseStock = false;    // take the source activity's loose consists
    bool AITraffic = false;     // take the source activity's AI traffic
    QTime StartTime{0, 0};      // hour and minute count
    std::int32_t Season = 0;    // 0 Spring, 1 Summer, 2 Autumn, 3 Winter
    std::int32_t Weather = 0;   // 0 Clear, 1 Snow, 2 Rain
};

template <> struct RecordKind<ExploreActivitySaveInfo> {
    static constexpr int code = RK_EXPLORE_SAVE;
};

} // namespace qv
